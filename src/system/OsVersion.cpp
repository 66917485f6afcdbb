#include "system/OsVersion.h"

#include <cstring>

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "the extended version record");
static_assert(sizeof(OSVERSIONINFOA) == 148, "the basic version record");

namespace {

OSVERSIONINFOEXA QueriedOsVersion() {
    OSVERSIONINFOEXA osvi;
    QueryOsVersion(osvi);
    return osvi;
}

} // namespace

// Filled before the ordinary static objects of the program, so that none of them can see it
// empty.
OSVERSIONINFOEXA g_osvi __attribute__((init_priority(101))) = QueriedOsVersion();

void QueryOsVersion(OSVERSIONINFOEXA& osvi, GetVersionFn pfnGetVersion) {
    std::memset(&osvi, 0, sizeof osvi);
    osvi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    LPOSVERSIONINFOA record = reinterpret_cast<LPOSVERSIONINFOA>(&osvi);
    if (pfnGetVersion(record))
        return;
    osvi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (pfnGetVersion(record))
        return;
    std::memset(&osvi, 0, sizeof osvi);
}

BOOL IsWin9xFamily(const OSVERSIONINFOEXA& osvi) {
    return osvi.dwPlatformId == PLATFORM_WIN9X;
}

BOOL IsNtFamily(const OSVERSIONINFOEXA& osvi) {
    return osvi.dwPlatformId == PLATFORM_NT;
}

BOOL IsWin98OrLater(const OSVERSIONINFOEXA& osvi) {
    return IsWin9xFamily(osvi) &&
           (osvi.dwMajorVersion > 4 || (osvi.dwMajorVersion == 4 && osvi.dwMinorVersion > 0));
}

BOOL IsWin95(const OSVERSIONINFOEXA& osvi) {
    return IsWin9xFamily(osvi) && !IsWin98OrLater(osvi);
}
