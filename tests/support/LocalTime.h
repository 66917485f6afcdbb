#pragma once
// A local time of the test's time zone, as the C library makes it (summer time found by itself).
#include "log/Clock.h"

#include <ctime>

inline TIME64 LocalTime(int year, int month, int day, int hour = 0, int minute = 0,
                        int second = 0) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return _mktime64(&local);
}
