// Test stand-in for the system's wlanapi.dll: the five WLAN functions Tarvolo binds, with the one
// Wi-Fi interface, its network and the service's failures taken from the simulator's state file.
// As strict with its arguments as the documentation says the system is. Never shipped.
#include "SimStateFile.h"
#include "WlanInterface.h"

#include <windows.h>

#include <wlanapi.h>

#include <algorithm>
#include <cstring>
#include <set>

using namespace dialup_sim;

namespace {

// Handles are the addresses of these; only those in the set are valid.
struct Client {
    DWORD version;
};

class Clients {
public:
    Clients() { InitializeCriticalSection(&m_lock); }
    ~Clients() = delete; // lives as long as the process

    bool Add(Client* client) {
        Lock lock(m_lock);
        return m_clients.insert(client).second;
    }
    bool Remove(Client* client) {
        Lock lock(m_lock);
        return m_clients.erase(client) > 0;
    }
    bool Contains(Client* client) {
        Lock lock(m_lock);
        return m_clients.count(client) > 0;
    }

private:
    class Lock {
    public:
        explicit Lock(CRITICAL_SECTION& section) : m_section(section) {
            EnterCriticalSection(&m_section);
        }
        ~Lock() { LeaveCriticalSection(&m_section); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CRITICAL_SECTION& m_section;
    };

    CRITICAL_SECTION m_lock;
    std::set<Client*> m_clients;
};

Clients& TheClients() {
    static Clients* clients = new Clients;
    return *clients;
}

// What the library hands out comes from a heap of its own, so that memory given back any other
// way than through WlanFreeMemory fails where the system's would.
HANDLE TheHeap() {
    static const HANDLE heap = HeapCreate(0, 0, 0);
    return heap;
}

template <typename T> T* Allocate(size_t size = sizeof(T)) {
    return static_cast<T*>(HeapAlloc(TheHeap(), HEAP_ZERO_MEMORY, size));
}

DWORD CheckClient(HANDLE handle) {
    if (!handle)
        return ERROR_INVALID_PARAMETER;
    return TheClients().Contains(static_cast<Client*>(handle)) ? ERROR_SUCCESS
                                                               : ERROR_INVALID_HANDLE;
}

void CopyText(const std::wstring& text, WCHAR* field, size_t capacity) {
    const size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(field, text.data(), length * sizeof(WCHAR));
    field[length] = L'\0';
}

WLAN_CONNECTION_ATTRIBUTES* ConnectionOf(const WlanState& wlan) {
    auto* attributes = Allocate<WLAN_CONNECTION_ATTRIBUTES>();
    if (!attributes)
        return nullptr;
    attributes->isState = wlan_interface_state_connected;
    attributes->wlanConnectionMode = wlan_connection_mode_profile;
    CopyText(WidenUtf8(wlan.ssid), attributes->strProfileName, 256);
    DOT11_SSID& ssid = attributes->wlanAssociationAttributes.dot11Ssid;
    ssid.uSSIDLength = static_cast<ULONG>(wlan.ssid.size());
    std::memcpy(ssid.ucSSID, wlan.ssid.data(), wlan.ssid.size());
    attributes->wlanAssociationAttributes.dot11BssType = dot11_BSS_type_infrastructure;
    return attributes;
}

// The interface's current connection: the state decides whether there is one to tell.
DWORD QueryConnection(const GUID& guid, PDWORD size, PVOID* data) {
    const WlanState wlan = LoadSimState().wlan;
    WlanInterface wifi;
    if (!FindWlanInterface(wlan.interfaceName, wifi) || !IsEqualGUID(wifi.guid, guid))
        return ERROR_NOT_FOUND;
    if (wlan.accessDenied)
        return ERROR_ACCESS_DENIED;
    if (wlan.ssid.empty())
        return ERROR_INVALID_STATE;
    WLAN_CONNECTION_ATTRIBUTES* attributes = ConnectionOf(wlan);
    if (!attributes)
        return ERROR_NOT_ENOUGH_MEMORY;
    *size = sizeof(WLAN_CONNECTION_ATTRIBUTES);
    *data = attributes;
    return ERROR_SUCCESS;
}

} // namespace

extern "C" {

DWORD WINAPI WlanOpenHandle(DWORD clientVersion, PVOID reserved, PDWORD negotiatedVersion,
                            PHANDLE handle) {
    if (reserved || !negotiatedVersion || !handle || (clientVersion != 1 && clientVersion != 2))
        return ERROR_INVALID_PARAMETER;
    const WlanState wlan = LoadSimState().wlan;
    if (!wlan.serviceRunning)
        return ERROR_SERVICE_NOT_ACTIVE;
    auto* client = new Client{std::min<DWORD>(clientVersion, wlan.serverVersion)};
    TheClients().Add(client);
    *negotiatedVersion = client->version;
    *handle = client;
    return ERROR_SUCCESS;
}

DWORD WINAPI WlanCloseHandle(HANDLE handle, PVOID reserved) {
    if (!handle || reserved)
        return ERROR_INVALID_PARAMETER;
    auto* client = static_cast<Client*>(handle);
    if (!TheClients().Remove(client))
        return ERROR_INVALID_HANDLE;
    delete client;
    return ERROR_SUCCESS;
}

VOID WINAPI WlanFreeMemory(PVOID memory) {
    if (memory)
        HeapFree(TheHeap(), 0, memory);
}

DWORD WINAPI WlanEnumInterfaces(HANDLE handle, PVOID reserved, PWLAN_INTERFACE_INFO_LIST* list) {
    if (reserved || !list)
        return ERROR_INVALID_PARAMETER;
    const DWORD status = CheckClient(handle);
    if (status != ERROR_SUCCESS)
        return status;
    const WlanState wlan = LoadSimState().wlan;
    WlanInterface wifi;
    const DWORD count = FindWlanInterface(wlan.interfaceName, wifi) ? 1 : 0;
    auto* result = Allocate<WLAN_INTERFACE_INFO_LIST>(sizeof(WLAN_INTERFACE_INFO_LIST) +
                                                      count * sizeof(WLAN_INTERFACE_INFO));
    if (!result)
        return ERROR_NOT_ENOUGH_MEMORY;
    result->dwNumberOfItems = count;
    if (count) {
        WLAN_INTERFACE_INFO& info = result->InterfaceInfo[0];
        info.InterfaceGuid = wifi.guid;
        CopyText(wifi.description, info.strInterfaceDescription, 256);
        info.isState =
            wlan.ssid.empty() ? wlan_interface_state_disconnected : wlan_interface_state_connected;
    }
    *list = result;
    return ERROR_SUCCESS;
}

DWORD WINAPI WlanQueryInterface(HANDLE handle, const GUID* guid, WLAN_INTF_OPCODE opcode,
                                PVOID reserved, PDWORD size, PVOID* data,
                                PWLAN_OPCODE_VALUE_TYPE valueType) {
    if (!guid || reserved || !size || !data)
        return ERROR_INVALID_PARAMETER;
    const DWORD status = CheckClient(handle);
    if (status != ERROR_SUCCESS)
        return status;
    if (opcode != wlan_intf_opcode_current_connection)
        return ERROR_NOT_SUPPORTED; // the one question the program asks
    const DWORD result = QueryConnection(*guid, size, data);
    if (result == ERROR_SUCCESS && valueType)
        *valueType = wlan_opcode_value_type_query_only;
    return result;
}

} // extern "C"
