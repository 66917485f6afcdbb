// A helper program that the counter tests start as a child process, under a name of their
// choice, so that Wine can give it a version or a missing library of its own:
//   osversion  prints the version record as the program saw it at start and the predicates
//   pdh        opens the remote access PDH counter (the first call into pdh.dll)
//   ras        counts the dial-up devices (the first call into RASAPI32.dll)
// Message boxes are printed instead of shown; "after" is printed when the call came back.
#include "system/OsVersion.h"
#include "ras/RasApi.h"
#include "counters/RasPdhCounter.h"

#include "framework/AppMessageBox.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int PrintVersion() {
    std::printf("size=%lu platform=%lu version=%lu.%lu 9x=%d nt=%d 98=%d 95=%d\n",
                g_osvi.dwOSVersionInfoSize, g_osvi.dwPlatformId, g_osvi.dwMajorVersion,
                g_osvi.dwMinorVersion, IsWin9xFamily() ? 1 : 0, IsNtFamily() ? 1 : 0,
                IsWin98OrLater() ? 1 : 0, IsWin95() ? 1 : 0);
    return 0;
}

void PrintBoxes() {
    fw::SetMessageBoxHandler([](const std::string& text, unsigned style) {
        std::printf("box %u %s\n", style, text.c_str());
        std::fflush(stdout); // the program may end without flushing
        return IDOK;
    });
}

int OpenPdhCounter() {
    PrintBoxes();
    CRasPdhCounter counter;
    const BOOL bOpened = counter.Open();
    std::printf("after %d\n", bOpened ? 1 : 0);
    return 0;
}

int CountRasDevices() {
    PrintBoxes();
    DWORD cb = 0, cDevices = 0;
    const DWORD dwResult = g_ras.RasEnumDevicesA(nullptr, &cb, &cDevices);
    std::printf("after %lu\n", dwResult);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "osversion")
        return PrintVersion();
    if (mode == "pdh")
        return OpenPdhCounter();
    if (mode == "ras")
        return CountRasDevices();
    std::printf("unknown mode\n");
    return 2;
}
