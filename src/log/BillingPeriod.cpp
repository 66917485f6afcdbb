#include "log/BillingPeriod.h"

#include <algorithm>
#include <ctime>

namespace {

int ClampedDay(int nBillingDay) {
    return std::min(std::max(nBillingDay, 1), 31);
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 1 && IsLeapYear(year) ? 29 : DAYS[month];
}

// Local midnight of the day on which the period of the given month begins; month counts from 0
// and may run over into the years before and after. The midnight is asked of the C library
// with the summer time left open, since on the days the clocks change a day is not 24 hours
// from the last, and a fixed offset would put the start an hour off. -1 where the library
// cannot give the time (before 1970).
TIME64 PeriodStartInMonth(int year, int month, int nDay) {
    year += month / 12;
    month %= 12;
    if (month < 0) {
        month += 12;
        --year;
    }
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month;
    local.tm_mday = std::min(nDay, DaysInMonth(year, month));
    local.tm_isdst = -1;
    return _mktime64(&local);
}

bool LocalYearAndMonth(TIME64 time, int& year, int& month) {
    const __time64_t value = time;
    std::tm local{};
    if (_localtime64_s(&local, &value) != 0)
        return false;
    year = local.tm_year + 1900;
    month = local.tm_mon;
    return true;
}

// The period start in the month of time, or in the month before (after) it where that start
// lies after (at or before) time; -1 for a time the C library cannot convert, as its own mktime
// answers.
TIME64 PeriodStartBeside(TIME64 time, int nBillingDay, bool bAfter) {
    const int nDay = ClampedDay(nBillingDay);
    int year = 0, month = 0;
    if (!LocalYearAndMonth(time, year, month))
        return -1;
    const TIME64 start = PeriodStartInMonth(year, month, nDay);
    if (bAfter)
        return start > time ? start : PeriodStartInMonth(year, month + 1, nDay);
    return start <= time ? start : PeriodStartInMonth(year, month - 1, nDay);
}

// Local midnight of the day nDaysLater days after the one that holds time.
TIME64 LocalMidnight(TIME64 time, int nDaysLater) {
    const __time64_t value = time;
    std::tm local{};
    if (_localtime64_s(&local, &value) != 0)
        return -1;
    std::tm midnight{};
    midnight.tm_year = local.tm_year;
    midnight.tm_mon = local.tm_mon;
    midnight.tm_mday = local.tm_mday + nDaysLater;
    midnight.tm_isdst = -1;
    return _mktime64(&midnight);
}

} // namespace

TIME64 LocalDayStart(TIME64 time) {
    return LocalMidnight(time, 0);
}

TIME64 NextLocalDayStart(TIME64 time) {
    return LocalMidnight(time, 1);
}

TIME64 BillingPeriodStart(TIME64 time, int nBillingDay) {
    return PeriodStartBeside(time, nBillingDay, false);
}

TIME64 NextBillingPeriodStart(TIME64 periodStart, int nBillingDay) {
    return PeriodStartBeside(periodStart, nBillingDay, true);
}
