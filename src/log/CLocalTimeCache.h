#pragma once
// Local time as the C library gives it, for many times in a row. The library works out the
// zone's offset anew for every call, which is most of the cost of a report of tens of thousands
// of rows. Within one UTC day the offset rarely changes, so the cache asks the library for the
// day's first and last second, and when both agree it derives every time of that day from the
// offset with plain calendar arithmetic. Days on which the offset changes, and times outside
// the 32-bit range of the data files, go to the library itself.
#include "log/Clock.h"

#include <cstdint>
#include <ctime>

class CLocalTimeCache {
public:
    static constexpr std::uint32_t SECONDS_PER_DAY = 86400;

    // The same result as the C library's conversion: false where it fails.
    bool Convert(TIME64 time, std::tm& local);

    // The local time as seconds since 1970 in local reckoning, where the cache can tell it
    // without the library: false for the times that Convert leaves to the library. The
    // library's tm_isdst for the time is then GetDaylight().
    bool ToLocalSeconds(TIME64 time, std::uint32_t& localSeconds) {
        if (time < 0 || time > LARGEST_FAST_TIME)
            return false;
        const auto day = static_cast<std::uint32_t>(time) / SECONDS_PER_DAY;
        if (day != m_nDay)
            LearnDay(day);
        const TIME64 shifted = time + m_nOffset;
        if (!m_bUniform || shifted < 0 || shifted > LARGEST_FAST_TIME)
            return false;
        localSeconds = static_cast<std::uint32_t>(shifted);
        return true;
    }
    int GetDaylight() const { return m_nDaylight; }

private:
    void LearnDay(std::uint32_t day);
    void LearnLocalDate(std::uint32_t localDay);

    static constexpr std::uint32_t NO_DAY = 0xFFFFFFFF;
    static constexpr TIME64 LARGEST_FAST_TIME = 0xFFFFFFFF;

    std::uint32_t m_nDay = NO_DAY;      // the UTC day learnt, in days since 1970
    bool m_bUniform = false;            // one offset holds for the whole day
    TIME64 m_nOffset = 0;               // local minus UTC, in seconds
    int m_nDaylight = 0;                // the library's tm_isdst for the day
    std::uint32_t m_nLocalDay = NO_DAY; // the local day whose date fields m_date holds
    std::tm m_date{};
};
