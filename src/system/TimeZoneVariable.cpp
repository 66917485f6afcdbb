#include "system/TimeZoneVariable.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

bool ClearUnreadableTimeZoneVariable() {
    const char* zone = std::getenv("TZ");
    if (!zone || (!std::strchr(zone, '/') && zone[0] != ':'))
        return false;
    _putenv("TZ=");
    _tzset();
    return true;
}
