#pragma once
// The C library's text of a time of day (a format such as "%#X") for many times in a row.
// strftime reads the locale's time format anew for every call. The cache asks it once per hour
// of the day for a sample time, finds the minute and second digits in that text, and checks the
// pattern against two more samples; where it holds, the texts of the other minutes and seconds
// of the hour come from replacing those digits. An hour whose text does not follow the pattern
// (minutes without a leading zero, say) is left to strftime for every time.
#include <cstddef>
#include <ctime>
#include <string>

class CTimeOfDayText {
public:
    // format must outlive the cache and must not depend on the date.
    explicit CTimeOfDayText(const char* format);

    // The text of local's time of day, as strftime gives it; valid until the next call.
    const std::string& Text(const std::tm& local);

    // The text of an hour with the places of its minute and second digits.
    struct HourPattern {
        bool bLearnt = false;
        bool bUsable = false;
        std::string strText;
        std::size_t nMinute = 0; // where the two minute digits are
        std::size_t nSecond = 0; // where the two second digits are
    };

    // The pattern of local's hour, where it has one; nullptr where only strftime can tell.
    // The digits in its text are those of some time of the hour.
    const HourPattern* FindPattern(const std::tm& local) { return PatternOf(local); }

private:
    HourPattern* PatternOf(const std::tm& local);

    void Learn(HourPattern& pattern, const std::tm& local) const;
    std::string Strftime(const std::tm& local, int minute, int second) const;

    const char* m_pszFormat;
    std::string m_strText;      // the text of an hour without a pattern
    HourPattern m_aHour[2][24]; // by tm_isdst (0 or not) and hour
};
