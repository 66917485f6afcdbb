// The cached local time against the C library's own conversion, field by field, in the zone
// the test runs in (Berlin, and New York for a second run).
#include "log/CLocalTimeCache.h"
#include "log/ReportFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr TIME64 DAY = 86400;
constexpr TIME64 YEAR_2026 = 1767225600; // 2026-01-01 00:00:00 UTC

class LocalTimeCacheTest : public ::testing::Test {
protected:
    // Counts the times that differ and describes the first few.
    void Check(TIME64 time) {
        std::tm expected{};
        std::tm actual{};
        const bool expectedOk = ToLocalTime(time, expected);
        const bool actualOk = m_cache.Convert(time, actual);
        const bool same =
            expectedOk == actualOk &&
            (!expectedOk ||
             (actual.tm_year == expected.tm_year && actual.tm_mon == expected.tm_mon &&
              actual.tm_mday == expected.tm_mday && actual.tm_hour == expected.tm_hour &&
              actual.tm_min == expected.tm_min && actual.tm_sec == expected.tm_sec &&
              actual.tm_wday == expected.tm_wday && actual.tm_yday == expected.tm_yday &&
              actual.tm_isdst == expected.tm_isdst));
        if (!same && ++m_nDifferences <= 5)
            ADD_FAILURE() << "time " << time << ": converted " << actualOk << " "
                          << actual.tm_year + 1900 << "-" << actual.tm_mon + 1 << "-"
                          << actual.tm_mday << " " << actual.tm_hour << ":" << actual.tm_min << ":"
                          << actual.tm_sec << " wday " << actual.tm_wday << " yday "
                          << actual.tm_yday << " dst " << actual.tm_isdst << ", library "
                          << expectedOk << " " << expected.tm_year + 1900 << "-"
                          << expected.tm_mon + 1 << "-" << expected.tm_mday << " "
                          << expected.tm_hour << ":" << expected.tm_min << ":" << expected.tm_sec
                          << " wday " << expected.tm_wday << " yday " << expected.tm_yday << " dst "
                          << expected.tm_isdst;
    }

    void CheckRange(TIME64 from, TIME64 to, TIME64 step) {
        for (TIME64 time = from; time <= to; time += step)
            Check(time);
    }

    void TearDown() override { EXPECT_EQ(0, m_nDifferences); }

    CLocalTimeCache m_cache;
    int m_nDifferences = 0;
};

// Offset of the library's local time from UTC at a time, in seconds.
TIME64 LibraryOffset(TIME64 time) {
    std::tm local{};
    ToLocalTime(time, local);
    return _mkgmtime64(&local) - time;
}

} // namespace

TEST_F(LocalTimeCacheTest, AYearInStepsThatVisitEveryHourMinuteAndSecond) {
    CheckRange(YEAR_2026 - DAY, YEAR_2026 + 366 * DAY, 3607);
}

TEST_F(LocalTimeCacheTest, TimesOutOfOrderAsALogHoldsThem) {
    std::uint32_t seed = 7;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        Check(YEAR_2026 + (seed >> 8) % (400 * DAY) - 20 * DAY);
    }
}

TEST_F(LocalTimeCacheTest, DaysOnWhichTheClockChangesSecondBySecond) {
    std::vector<TIME64> changeDays;
    for (TIME64 day = YEAR_2026; day < YEAR_2026 + 365 * DAY; day += DAY)
        if (LibraryOffset(day) != LibraryOffset(day + DAY - 1))
            changeDays.push_back(day);
    ASSERT_EQ(2u, changeDays.size()) << "the test's zone is expected to have summer time";
    for (TIME64 day : changeDays)
        CheckRange(day - 3600, day + DAY + 3600, 1);
}

TEST_F(LocalTimeCacheTest, LeapDaysAndTurnsOfCenturies) {
    const TIME64 march2000 = 951868800; // 2000-03-01 00:00:00 UTC
    const TIME64 march2100 = 4107542400;
    const TIME64 march2104 = 4233686400;
    for (TIME64 march : {march2000, march2100, march2104})
        CheckRange(march - 2 * DAY - 7200, march + DAY + 7200, 61);
    CheckRange(946684800 - DAY, 946684800 + DAY, 59);   // 2000-01-01
    CheckRange(4102444800 - DAY, 4102444800 + DAY, 59); // 2100-01-01
}

TEST_F(LocalTimeCacheTest, TheEndsOfTheDataFilesRangeAndBeyond) {
    CheckRange(0, 2 * DAY, 53);
    CheckRange(0xFFFFFFFFLL - 2 * DAY, 0xFFFFFFFFLL + 2 * DAY, 53);
    for (TIME64 time : {TIME64(-1), TIME64(-DAY), TIME64(32535215999), TIME64(32535216000),
                        TIME64(1) << 40, TIME64(-(TIME64(1) << 40))})
        Check(time);
}
