// Test stand-in for the system's rasapi32.dll: the four dial-up functions Tarvolo binds, answering
// from the simulator's state file. Never shipped with the program.
#include "ConnectionList.h"
#include "ConnectionNotifier.h"
#include "RasRecords.h"
#include "SimStateFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

using namespace dialup_sim;

namespace {

// Connection handles are small numbers above this base; the index tells which entry is meant.
constexpr UINT_PTR kConnectionHandleBase = 0x5A10000;

template <size_t N> bool IsOneOf(DWORD size, const DWORD (&sizes)[N]) {
    return std::find(std::begin(sizes), std::end(sizes), size) != std::end(sizes);
}

template <size_t N> void CopyText(CHAR (&target)[N], const char* text) {
    lstrcpynA(target, text, static_cast<int>(N));
}

HANDLE ConnectionHandle(DWORD index) {
    return reinterpret_cast<HANDLE>(kConnectionHandleBase + index);
}

bool ConnectionIndex(HANDLE handle, DWORD connections, DWORD& index) {
    const UINT_PTR value = reinterpret_cast<UINT_PTR>(handle);
    if (value < kConnectionHandleBase || value - kConnectionHandleBase >= connections)
        return false;
    index = static_cast<DWORD>(value - kConnectionHandleBase);
    return true;
}

void FillDevice(RasDevInfoA& device, DWORD index) {
    char name[64];
    std::snprintf(name, sizeof name, "Simuliertes Modem %lu",
                  static_cast<unsigned long>(index + 1));
    device.dwSize = sizeof(RasDevInfoA);
    CopyText(device.szDeviceType, "modem");
    CopyText(device.szDeviceName, name);
}

void FillConnection(RasConnA& entry, DWORD size, DWORD index) {
    char name[64];
    std::snprintf(name, sizeof name, "Simulierte Verbindung %lu",
                  static_cast<unsigned long>(index + 1));
    ZeroMemory(&entry, size);
    entry.dwSize = size;
    entry.hrasconn = ConnectionHandle(index);
    CopyText(entry.szEntryName, name);
    CopyText(entry.szDeviceType, "modem");
    CopyText(entry.szDeviceName, "Simuliertes Modem 1");
}

// Fills in what the status call tells of a connection that can be read.
void FillStatus(RasConnStatusA& status, ConnectionStatus::Kind kind) {
    const DWORD size = status.dwSize;
    ZeroMemory(&status, size);
    status.dwSize = size;
    status.rasconnstate = kind == ConnectionStatus::Connected      ? kRascsConnected
                          : kind == ConnectionStatus::Disconnected ? kRascsDisconnected
                                                                   : kRascsConnectDevice;
    CopyText(status.szDeviceType, "modem");
    CopyText(status.szDeviceName, "Simuliertes Modem 1");
}

// A service that is busy, or reached over a slow link, keeps its callers waiting.
void TakeTime() {
    const uint32_t delay = LoadSimState().rasDelayMs;
    if (delay > 0)
        Sleep(delay);
}

} // namespace

extern "C" {

DWORD WINAPI RasEnumDevicesA(RasDevInfoA* devices, DWORD* bufferSize, DWORD* count) {
    const SimState state = LoadSimState();
    if (state.rasman == RasmanMode::Fail)
        return kErrorRasmanCannotInitialize;
    if (state.rasman == RasmanMode::Error)
        return kErrorCannotOpenPhonebook;
    if (!bufferSize || !count)
        return ERROR_INVALID_PARAMETER;
    if (devices && devices->dwSize != sizeof(RasDevInfoA))
        return kErrorInvalidSize;
    const DWORD needed = state.devices * sizeof(RasDevInfoA);
    *count = state.devices;
    if (!devices || *bufferSize < needed) {
        *bufferSize = needed;
        return needed == 0 ? 0 : kErrorBufferTooSmall;
    }
    for (DWORD i = 0; i < state.devices; ++i)
        FillDevice(devices[i], i);
    *bufferSize = needed;
    return 0;
}

DWORD WINAPI RasEnumConnectionsA(RasConnA* entries, DWORD* bufferSize, DWORD* count) {
    TakeTime();
    if (!bufferSize || !count)
        return ERROR_INVALID_PARAMETER;
    const DWORD entrySize = entries ? entries->dwSize : sizeof(RasConnA);
    if (!IsOneOf(entrySize, kRasConnSizes))
        return kErrorInvalidSize;
    const SimState state = ConnectionList::Instance().Show();
    const DWORD connections = state.connections;
    const DWORD needed = connections * entrySize;
    *count = connections;
    if (!entries || *bufferSize < needed) {
        *bufferSize = needed;
        if (state.enumCountsWritten)
            *count = 0;
        return needed == 0 ? 0 : kErrorBufferTooSmall;
    }
    BYTE* entry = reinterpret_cast<BYTE*>(entries);
    for (DWORD i = 0; i < connections; ++i, entry += entrySize)
        FillConnection(*reinterpret_cast<RasConnA*>(entry), entrySize, i);
    *bufferSize = needed;
    return 0;
}

DWORD WINAPI RasGetConnectStatusA(HANDLE connection, RasConnStatusA* status) {
    TakeTime();
    if (!status)
        return ERROR_INVALID_PARAMETER;
    if (!IsOneOf(status->dwSize, kRasConnStatusSizes))
        return kErrorInvalidSize;
    const SimState state = ConnectionList::Instance().Show();
    DWORD index = 0;
    if (!ConnectionIndex(connection, state.connections, index))
        return ERROR_INVALID_HANDLE;
    const ConnectionStatus listed = state.StatusOf(index + 1);
    if (listed.kind == ConnectionStatus::Unreadable)
        return listed.error;
    FillStatus(*status, listed.kind);
    return 0;
}

DWORD WINAPI RasConnectionNotificationA(HANDLE connection, HANDLE event, DWORD flags) {
    (void)connection; // every registration hears of every connection
    if (!LoadSimState().notify)
        return ERROR_CALL_NOT_IMPLEMENTED;
    if (!event || (flags & (kRascnConnection | kRascnDisconnection)) == 0)
        return ERROR_INVALID_PARAMETER;
    return ConnectionNotifier::Instance().Register(event, flags);
}

} // extern "C"
