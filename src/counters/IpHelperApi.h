#pragma once
// The IP helper functions that read a network adapter, late-bound from "iphlpapi.dll": those of
// Windows XP bound as every late-bound function is, those of Vista and later bound softly (null
// where the system lacks them, and the caller falls back). The record of the later functions is
// defined here in its published layout, since the build's headers show only what XP has.
#include "system/LateBoundFunction.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace iphlp {

const int MAX_STRING_SIZE = 256;
const DWORD TYPE_LOOPBACK = 24;
const DWORD TYPE_TUNNEL = 131;
const DWORD OPER_STATUS_UP = 1;
const DWORD MEDIA_DISCONNECTED = 2; // 0 unknown, 1 connected

// MIB_IF_ROW2, with the fields the program reads by name and the rest as padding.
struct IF_ROW2 {
    std::uint64_t InterfaceLuid;
    DWORD InterfaceIndex;
    GUID InterfaceGuid;
    WCHAR Alias[MAX_STRING_SIZE + 1];
    WCHAR Description[MAX_STRING_SIZE + 1];
    BYTE unread1[1128 - 1056];
    DWORD Type;
    BYTE unread2[1152 - 1132];
    BYTE InterfaceAndOperStatusFlags; // bit 0 hardware, bit 1 filter, bit 2 connector present
    BYTE unread3[3];
    DWORD OperStatus;
    DWORD AdminStatus;
    DWORD MediaConnectState;
    BYTE unread4[1208 - 1168];
    std::uint64_t InOctets;
    BYTE unread5[1280 - 1216];
    std::uint64_t OutOctets;
    BYTE unread6[1352 - 1288];
};
static_assert(sizeof(IF_ROW2) == 1352, "published layout");
static_assert(offsetof(IF_ROW2, Alias) == 28 && offsetof(IF_ROW2, Description) == 542,
              "published layout");
static_assert(offsetof(IF_ROW2, Type) == 1128 && offsetof(IF_ROW2, OperStatus) == 1156 &&
                  offsetof(IF_ROW2, MediaConnectState) == 1164,
              "published layout");
static_assert(offsetof(IF_ROW2, InOctets) == 1208 && offsetof(IF_ROW2, OutOctets) == 1280,
              "published layout");
const BYTE FLAG_FILTER_INTERFACE = 0x02;

struct IF_TABLE2 {
    ULONG NumEntries;
    IF_ROW2 Table[1]; // NumEntries of them, 8-byte aligned
};
static_assert(offsetof(IF_TABLE2, Table) == 8, "published layout");

using PIPINTERFACE_CHANGE_CALLBACK = VOID(WINAPI*)(PVOID CallerContext, PVOID Row,
                                                   DWORD NotificationType);

using GetIfEntryFn = DWORD(WINAPI*)(PMIB_IFROW pIfRow);
using GetAdaptersAddressesFn = ULONG(WINAPI*)(ULONG Family, ULONG Flags, PVOID Reserved,
                                              PIP_ADAPTER_ADDRESSES AdapterAddresses,
                                              PULONG SizePointer);
using NotifyAddrChangeFn = DWORD(WINAPI*)(PHANDLE Handle, LPOVERLAPPED overlapped);
using CancelIPChangeNotifyFn = BOOL(WINAPI*)(LPOVERLAPPED notifyOverlapped);
using GetIfTable2Fn = DWORD(WINAPI*)(IF_TABLE2** Table);
using GetIfEntry2Fn = DWORD(WINAPI*)(IF_ROW2* Row);
using FreeMibTableFn = VOID(WINAPI*)(PVOID Memory);
using NotifyIpInterfaceChangeFn = DWORD(WINAPI*)(USHORT Family,
                                                 PIPINTERFACE_CHANGE_CALLBACK Callback,
                                                 PVOID CallerContext, BOOLEAN InitialNotification,
                                                 HANDLE* NotificationHandle);
using CancelMibChangeNotify2Fn = DWORD(WINAPI*)(HANDLE NotificationHandle);

} // namespace iphlp

// One slot per late-bound function of "iphlpapi.dll". Those of Windows XP are bound as every
// late-bound function is; those of Vista and later only through TryGet.
struct IPHELPER_FUNCTIONS {
    CLateBoundFunction<iphlp::GetIfEntryFn> GetIfEntry;
    CLateBoundFunction<iphlp::GetAdaptersAddressesFn> GetAdaptersAddresses;
    CLateBoundFunction<iphlp::NotifyAddrChangeFn> NotifyAddrChange;
    CLateBoundFunction<iphlp::CancelIPChangeNotifyFn> CancelIPChangeNotify;
    CLateBoundFunction<iphlp::GetIfTable2Fn> GetIfTable2;                         // Vista
    CLateBoundFunction<iphlp::GetIfEntry2Fn> GetIfEntry2;                         // Vista
    CLateBoundFunction<iphlp::FreeMibTableFn> FreeMibTable;                       // Vista
    CLateBoundFunction<iphlp::NotifyIpInterfaceChangeFn> NotifyIpInterfaceChange; // Vista
    CLateBoundFunction<iphlp::CancelMibChangeNotify2Fn> CancelMibChangeNotify2;   // Vista
};

extern CLateBoundLibrary g_ipHelperLibrary;
extern IPHELPER_FUNCTIONS g_ipHelper;
