#pragma once
// Records of the dial-up interface in the layouts callers hand in. The program passes the first
// published layouts (412-byte RASCONN, 160-byte RASCONNSTATUS); MinGW's <ras.h> declares only the
// latest, larger ones, so the simulator keeps its own definitions.
#include <windows.h>

namespace dialup_sim {

constexpr int kMaxEntryName = 256;
constexpr int kMaxDeviceType = 16;
constexpr int kMaxDeviceName = 128;

struct RasConnA {
    DWORD dwSize;
    HANDLE hrasconn;
    CHAR szEntryName[kMaxEntryName + 1];
    CHAR szDeviceType[kMaxDeviceType + 1];
    CHAR szDeviceName[kMaxDeviceName + 1];
};
static_assert(sizeof(RasConnA) == (sizeof(void*) == 4 ? 412 : 424), "first published RASCONNA");

struct RasConnStatusA {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[kMaxDeviceType + 1];
    CHAR szDeviceName[kMaxDeviceName + 1];
};
static_assert(sizeof(RasConnStatusA) == 160, "first published RASCONNSTATUSA");

struct RasDevInfoA {
    DWORD dwSize;
    CHAR szDeviceType[kMaxDeviceType + 1];
    CHAR szDeviceName[kMaxDeviceName + 1];
};
static_assert(sizeof(RasDevInfoA) == 152, "RASDEVINFOA");

// Later layouts of the same records that a real system accepts too; RASCONN holds a handle, so
// a 64-bit caller's are larger.
constexpr DWORD kRasConnSizes32[] = {412, 676, 692, 704};
constexpr DWORD kRasConnSizes64[] = {424, 688, 704, 712};
inline constexpr const DWORD (&kRasConnSizes)[4] = sizeof(void*) == 4 ? kRasConnSizes32
                                                                      : kRasConnSizes64;
constexpr DWORD kRasConnStatusSizes[] = {160, 288};

constexpr DWORD kRascsConnectDevice = 2; // still dialling: the modem is calling
constexpr DWORD kRascsConnected = 0x2000;
constexpr DWORD kRascsDisconnected = 0x2001;
constexpr DWORD kRascnConnection = 0x1;
constexpr DWORD kRascnDisconnection = 0x2;

constexpr DWORD kErrorBufferTooSmall = 603;
constexpr DWORD kErrorCannotOpenPhonebook = 621; // what rasman=error reports
constexpr DWORD kErrorInvalidSize = 632;
constexpr DWORD kErrorRasmanCannotInitialize = 711;

} // namespace dialup_sim
