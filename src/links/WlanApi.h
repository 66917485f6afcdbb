#pragma once
// The WLAN functions this program uses, bound softly from "wlanapi.dll" (XP SP3 and later; a
// system without the WLAN service's client lacks it), with their records in the published layout.
#include "system/LateBoundFunction.h"

#include <windows.h>

#include <cstddef>

namespace wlan {

const DWORD CLIENT_VERSION_XP = 1;
const DWORD CLIENT_VERSION_VISTA = 2;
const DWORD OPCODE_CURRENT_CONNECTION = 7; // wlan_intf_opcode_current_connection
const DWORD INTERFACE_STATE_CONNECTED = 1;
const DWORD MAX_NAME_LENGTH = 256;
const DWORD SSID_MAX_LENGTH = 32;

struct INTERFACE_INFO {
    GUID InterfaceGuid;
    WCHAR strInterfaceDescription[MAX_NAME_LENGTH];
    DWORD isState;
};
static_assert(sizeof(INTERFACE_INFO) == 532, "published layout");

struct INTERFACE_INFO_LIST {
    DWORD dwNumberOfItems;
    DWORD dwIndex;
    INTERFACE_INFO InterfaceInfo[1];
};
static_assert(offsetof(INTERFACE_INFO_LIST, InterfaceInfo) == 8, "published layout");

struct DOT11_SSID {
    ULONG uSSIDLength;
    UCHAR ucSSID[SSID_MAX_LENGTH];
};

// WLAN_CONNECTION_ATTRIBUTES up to the association's network name.
struct CONNECTION_ATTRIBUTES {
    DWORD isState;
    DWORD wlanConnectionMode;
    WCHAR strProfileName[MAX_NAME_LENGTH];
    DOT11_SSID dot11Ssid; // the first field of the association attributes
};
static_assert(offsetof(CONNECTION_ATTRIBUTES, dot11Ssid) == 520, "published layout");

using WlanOpenHandleFn = DWORD(WINAPI*)(DWORD dwClientVersion, PVOID pReserved,
                                        PDWORD pdwNegotiatedVersion, PHANDLE phClientHandle);
using WlanCloseHandleFn = DWORD(WINAPI*)(HANDLE hClientHandle, PVOID pReserved);
using WlanEnumInterfacesFn = DWORD(WINAPI*)(HANDLE hClientHandle, PVOID pReserved,
                                            INTERFACE_INFO_LIST** ppInterfaceList);
using WlanQueryInterfaceFn = DWORD(WINAPI*)(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                            DWORD OpCode, PVOID pReserved, PDWORD pdwDataSize,
                                            PVOID* ppData, PDWORD pWlanOpcodeValueType);
using WlanFreeMemoryFn = VOID(WINAPI*)(PVOID pMemory);

} // namespace wlan

// One slot per function of "wlanapi.dll"; every one bound through TryGet only.
struct WLAN_FUNCTIONS {
    CLateBoundFunction<wlan::WlanOpenHandleFn> WlanOpenHandle;
    CLateBoundFunction<wlan::WlanCloseHandleFn> WlanCloseHandle;
    CLateBoundFunction<wlan::WlanEnumInterfacesFn> WlanEnumInterfaces;
    CLateBoundFunction<wlan::WlanQueryInterfaceFn> WlanQueryInterface;
    CLateBoundFunction<wlan::WlanFreeMemoryFn> WlanFreeMemory;
};

extern CLateBoundLibrary g_wlanLibrary;
extern WLAN_FUNCTIONS g_wlan;
