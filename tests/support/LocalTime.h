#pragma once
// A local time of the test's time zone, as the C library makes it (summer time found by itself).
#include "log/Clock.h"

#include <cstdio>
#include <ctime>
#include <string>

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

// A local time as the rows of a table give it, and as a failure message shows it.
struct LocalStamp {
    int year, month, day, hour, minute, second;

    TIME64 Time() const { return LocalTime(year, month, day, hour, minute, second); }

    std::string Text() const {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                      minute, second);
        return text;
    }
};
