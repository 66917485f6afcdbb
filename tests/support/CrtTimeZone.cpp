// Linked into every test program. The tests set TZ to a zone name such as Europe/Berlin for
// Wine, which derives the Windows time zone from it; but Wine also passes TZ on to the Windows
// environment, where the C library reads it in its own "CET-1CEST" form, fails on the zone
// name and takes local time to be UTC. Without the variable the C library asks the system for
// the time zone, as on a Windows machine.
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const bool g_bZoneNameCleared = [] {
    const char* zone = std::getenv("TZ");
    if (!zone || !std::strchr(zone, '/'))
        return false;
    _putenv("TZ=");
    _tzset();
    return true;
}();

} // namespace
