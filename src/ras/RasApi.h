#pragma once
// The Remote Access Service as this program uses it: the records in their first published
// layout (the sizes that every system since Windows 95 accepts), the constants, and the four
// late-bound functions of "RASAPI32.dll". Defined here rather than taken from <ras.h>, whose
// records follow the compiler's WINVER; do not include both in one file.
#include "system/LateBoundFunction.h"

#include <windows.h>

#include <cstddef>

#ifdef _RAS_H_
#error "ras/RasApi.h replaces <ras.h>; include only one of them"
#endif

namespace ras {

DECLARE_HANDLE(HRASCONN);

const int RAS_MAX_ENTRY_NAME = 256;
const int RAS_MAX_DEVICE_TYPE = 16;
const int RAS_MAX_DEVICE_NAME = 128;

struct RASCONN {
    DWORD dwSize; // 412 (424 in a 64-bit program)
    HRASCONN hrasconn;
    CHAR szEntryName[RAS_MAX_ENTRY_NAME + 1];
    CHAR szDeviceType[RAS_MAX_DEVICE_TYPE + 1];
    CHAR szDeviceName[RAS_MAX_DEVICE_NAME + 1];
};
static_assert(sizeof(RASCONN) == (sizeof(void*) == 4 ? 412 : 424), "first published layout");
static_assert(offsetof(RASCONN, szEntryName) == 2 * sizeof(void*), "first published layout");

// States of a connection; only the end states matter here.
using RASCONNSTATE = DWORD;
const RASCONNSTATE RASCS_Connected = 0x2000;
const RASCONNSTATE RASCS_Disconnected = 0x2001;

struct RASCONNSTATUS {
    DWORD dwSize; // 160
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[RAS_MAX_DEVICE_TYPE + 1];
    CHAR szDeviceName[RAS_MAX_DEVICE_NAME + 1];
};
static_assert(sizeof(RASCONNSTATUS) == 160, "first published layout");

struct RASDEVINFO {
    DWORD dwSize; // 152
    CHAR szDeviceType[RAS_MAX_DEVICE_TYPE + 1];
    CHAR szDeviceName[RAS_MAX_DEVICE_NAME + 1];
};
static_assert(sizeof(RASDEVINFO) == 152, "first published layout");

// Notification flags of RasConnectionNotificationA.
const DWORD RASCN_Connection = 0x00000001;
const DWORD RASCN_Disconnection = 0x00000002;

// Results of the dial-up calls that the program tells apart.
const DWORD RAS_SUCCESS = 0;
const DWORD RAS_ERROR_BUFFER_TOO_SMALL = 603;
const DWORD RAS_ERROR_CANNOT_INITIALIZE = 711; // the remote access manager cannot start

using RasEnumDevicesAFn = DWORD(WINAPI*)(RASDEVINFO* lpRasDevInfo, LPDWORD lpcb,
                                         LPDWORD lpcDevices);
using RasEnumConnectionsAFn = DWORD(WINAPI*)(RASCONN* lprasconn, LPDWORD lpcb,
                                             LPDWORD lpcConnections);
using RasGetConnectStatusAFn = DWORD(WINAPI*)(HRASCONN hrasconn, RASCONNSTATUS* lprasconnstatus);
using RasConnectionNotificationAFn = DWORD(WINAPI*)(HRASCONN hrasconn, HANDLE hEvent,
                                                    DWORD dwFlags);

} // namespace ras

// One slot per late-bound function of "RASAPI32.dll".
struct RAS_FUNCTIONS {
    CLateBoundFunction<ras::RasEnumDevicesAFn> RasEnumDevicesA;
    CLateBoundFunction<ras::RasEnumConnectionsAFn> RasEnumConnectionsA;
    CLateBoundFunction<ras::RasGetConnectStatusAFn> RasGetConnectStatusA;
    CLateBoundFunction<ras::RasConnectionNotificationAFn> RasConnectionNotificationA;
};

extern CLateBoundLibrary g_rasLibrary;
extern RAS_FUNCTIONS g_ras;
