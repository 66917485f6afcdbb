#include "links/WlanNetwork.h"

#include "counters/NetworkAdapters.h"
#include "links/WlanApi.h"

namespace {

using STATUS = WLAN_NETWORK::STATUS;

// A client handle of the WLAN service, closed with the object.
class CWlanClient {
public:
    CWlanClient() {
        const auto open = g_wlan.WlanOpenHandle.TryGet();
        if (!open || !g_wlan.WlanCloseHandle.TryGet() || !g_wlan.WlanFreeMemory.TryGet())
            return;
        DWORD dwVersion = 0;
        m_dwResult = open(wlan::CLIENT_VERSION_VISTA, nullptr, &dwVersion, &m_hClient);
        // XP SP3 knows only its own version.
        if (m_dwResult == ERROR_NOT_SUPPORTED)
            m_dwResult = open(wlan::CLIENT_VERSION_XP, nullptr, &dwVersion, &m_hClient);
        if (m_dwResult != ERROR_SUCCESS)
            m_hClient = nullptr;
    }
    ~CWlanClient() {
        if (m_hClient)
            g_wlan.WlanCloseHandle.Get()(m_hClient, nullptr);
    }
    CWlanClient(const CWlanClient&) = delete;
    CWlanClient& operator=(const CWlanClient&) = delete;

    HANDLE Get() const { return m_hClient; }
    DWORD Result() const { return m_dwResult; }

private:
    HANDLE m_hClient = nullptr;
    DWORD m_dwResult = ERROR_SERVICE_NOT_ACTIVE;
};

bool IsListed(HANDLE hClient, const std::string& guid, GUID& found) {
    const auto enumerate = g_wlan.WlanEnumInterfaces.TryGet();
    wlan::INTERFACE_INFO_LIST* pList = nullptr;
    if (!enumerate || enumerate(hClient, nullptr, &pList) != ERROR_SUCCESS || !pList)
        return false;
    bool bListed = false;
    for (DWORD i = 0; i < pList->dwNumberOfItems && !bListed; ++i)
        if (lstrcmpiA(CNetworkAdapters::GuidText(pList->InterfaceInfo[i].InterfaceGuid).c_str(),
                      guid.c_str()) == 0) {
            found = pList->InterfaceInfo[i].InterfaceGuid;
            bListed = true;
        }
    g_wlan.WlanFreeMemory.Get()(pList);
    return bListed;
}

WLAN_NETWORK CurrentConnection(HANDLE hClient, const GUID& guid) {
    WLAN_NETWORK network;
    const auto query = g_wlan.WlanQueryInterface.TryGet();
    DWORD dwSize = 0;
    PVOID pData = nullptr;
    const DWORD dwResult = query ? query(hClient, &guid, wlan::OPCODE_CURRENT_CONNECTION, nullptr,
                                         &dwSize, &pData, nullptr)
                                 : ERROR_PROC_NOT_FOUND;
    if (dwResult == ERROR_ACCESS_DENIED) {
        network.status = STATUS::accessDenied;
    } else if (dwResult != ERROR_SUCCESS || !pData ||
               dwSize < sizeof(wlan::CONNECTION_ATTRIBUTES)) {
        // ERROR_INVALID_STATE: the interface is on no network.
        network.status = dwResult == ERROR_SUCCESS || dwResult == ERROR_INVALID_STATE
                             ? STATUS::notConnected
                             : STATUS::serviceOff;
    } else {
        const auto* pAttributes = static_cast<const wlan::CONNECTION_ATTRIBUTES*>(pData);
        const ULONG nLength = pAttributes->dot11Ssid.uSSIDLength;
        if (pAttributes->isState == wlan::INTERFACE_STATE_CONNECTED &&
            nLength <= wlan::SSID_MAX_LENGTH) {
            network.status = STATUS::connected;
            network.ssid.assign(reinterpret_cast<const char*>(pAttributes->dot11Ssid.ucSSID),
                                nLength);
        } else {
            network.status = STATUS::notConnected;
        }
    }
    if (pData)
        g_wlan.WlanFreeMemory.Get()(pData);
    return network;
}

} // namespace

WLAN_NETWORK ReadWlanNetwork(const std::string& guid) {
    const CWlanClient client;
    if (!client.Get()) {
        WLAN_NETWORK network;
        network.status =
            client.Result() == ERROR_ACCESS_DENIED ? STATUS::accessDenied : STATUS::serviceOff;
        return network;
    }
    GUID found{};
    if (!IsListed(client.Get(), guid, found))
        return {};
    return CurrentConnection(client.Get(), found);
}
