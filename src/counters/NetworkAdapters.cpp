#include "counters/NetworkAdapters.h"

#include "counters/IpHelperApi.h"

#include <cstdio>
#include <cwchar>
#include <memory>

namespace {

// XP's operational states from "connected" on carry traffic.
const DWORD XP_OPER_STATUS_CONNECTED = 4;
const DWORD XP_OPER_STATUS_OPERATIONAL = 5;
const ULONG ADDRESSES_FLAGS = GAA_FLAG_SKIP_UNICAST | GAA_FLAG_SKIP_ANYCAST |
                              GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;

std::string Narrow(const WCHAR* text) {
    if (!text || !*text)
        return {};
    const int nSize = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (nSize <= 1)
        return {};
    std::string narrow(static_cast<std::size_t>(nSize), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], nSize, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(nSize - 1));
    return narrow;
}

std::string Upper(std::string text) {
    if (!text.empty())
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool IsLeftOut(DWORD dwType) {
    return dwType == iphlp::TYPE_LOOPBACK || dwType == iphlp::TYPE_TUNNEL;
}

void FromRow2(const iphlp::IF_ROW2& row, NETWORK_ADAPTER& adapter) {
    adapter.alias = Narrow(row.Alias);
    adapter.description = Narrow(row.Description);
    adapter.guid = CNetworkAdapters::GuidText(row.InterfaceGuid);
    adapter.luid = row.InterfaceLuid;
    adapter.dwIndex = row.InterfaceIndex;
    // A medium whose state the system does not know (0) does not keep a link down.
    adapter.bUp = row.OperStatus == iphlp::OPER_STATUS_UP &&
                  row.MediaConnectState != iphlp::MEDIA_DISCONNECTED;
    adapter.nInOctets = row.InOctets;
    adapter.nOutOctets = row.OutOctets;
    adapter.bSixtyFourBit = true;
}

bool ListFromTable2(std::vector<NETWORK_ADAPTER>& adapters) {
    const auto getTable = g_ipHelper.GetIfTable2.TryGet();
    const auto freeTable = g_ipHelper.FreeMibTable.TryGet();
    if (!getTable || !freeTable)
        return false;
    iphlp::IF_TABLE2* pTable = nullptr;
    if (getTable(&pTable) != NO_ERROR || !pTable)
        return true; // the system has the function; it knows no adapter now
    for (ULONG i = 0; i < pTable->NumEntries; ++i) {
        const iphlp::IF_ROW2& row = pTable->Table[i];
        if (IsLeftOut(row.Type) || (row.InterfaceAndOperStatusFlags & iphlp::FLAG_FILTER_INTERFACE))
            continue;
        NETWORK_ADAPTER adapter;
        FromRow2(row, adapter);
        adapters.push_back(adapter);
    }
    freeTable(pTable);
    return true;
}

// XP has no 64-bit row: the list comes from the adapters' addresses, the counters from the
// interface's 32-bit row.
bool ReadIfRow(NETWORK_ADAPTER& adapter) {
    MIB_IFROW row{};
    row.dwIndex = adapter.dwIndex;
    if (g_ipHelper.GetIfEntry(&row) != NO_ERROR)
        return false;
    // The index of a device that went is given to the next one: the row's name holds the GUID.
    const std::string name = Upper(Narrow(row.wszName));
    if (name.find('{') != std::string::npos && name.find(adapter.guid) == std::string::npos)
        return false;
    adapter.bUp = row.dwOperStatus == XP_OPER_STATUS_CONNECTED ||
                  row.dwOperStatus == XP_OPER_STATUS_OPERATIONAL;
    adapter.nInOctets = row.dwInOctets;
    adapter.nOutOctets = row.dwOutOctets;
    adapter.bSixtyFourBit = false;
    return true;
}

std::unique_ptr<BYTE[]> AdapterAddresses() {
    ULONG nSize = 16 * 1024;
    // The list may grow between the two calls: a few rounds, as the documentation advises.
    for (int nTry = 0; nTry < 3; ++nTry) {
        std::unique_ptr<BYTE[]> buffer(new BYTE[nSize]);
        const ULONG nResult = g_ipHelper.GetAdaptersAddresses(
            AF_UNSPEC, ADDRESSES_FLAGS, nullptr,
            reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.get()), &nSize);
        if (nResult == NO_ERROR)
            return buffer;
        if (nResult != ERROR_BUFFER_OVERFLOW)
            return nullptr;
    }
    return nullptr;
}

void ListFromAddresses(std::vector<NETWORK_ADAPTER>& adapters) {
    const std::unique_ptr<BYTE[]> buffer = AdapterAddresses();
    if (!buffer)
        return;
    for (auto* p = reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.get()); p; p = p->Next) {
        if (IsLeftOut(p->IfType))
            continue;
        NETWORK_ADAPTER adapter;
        adapter.alias = Narrow(p->FriendlyName);
        adapter.description = Narrow(p->Description);
        adapter.guid = Upper(p->AdapterName ? p->AdapterName : "");
        adapter.dwIndex = p->IfIndex;
        ReadIfRow(adapter);
        adapters.push_back(adapter);
    }
}

} // namespace

std::vector<NETWORK_ADAPTER> CNetworkAdapters::List() {
    std::vector<NETWORK_ADAPTER> adapters;
    if (!ListFromTable2(adapters))
        ListFromAddresses(adapters);
    return adapters;
}

bool CNetworkAdapters::Find(const std::string& guid, const std::string& alias,
                            NETWORK_ADAPTER& adapter) {
    return FindIn(List(), guid, alias, adapter);
}

bool CNetworkAdapters::FindIn(const std::vector<NETWORK_ADAPTER>& adapters, const std::string& guid,
                              const std::string& alias, NETWORK_ADAPTER& adapter) {
    const std::string wanted = Upper(guid);
    for (const NETWORK_ADAPTER& candidate : adapters)
        if (!wanted.empty() && candidate.guid == wanted) {
            adapter = candidate;
            return true;
        }
    for (const NETWORK_ADAPTER& candidate : adapters)
        if (!alias.empty() && lstrcmpiA(candidate.alias.c_str(), alias.c_str()) == 0) {
            adapter = candidate;
            return true;
        }
    return false;
}

bool CNetworkAdapters::Refresh(NETWORK_ADAPTER& adapter) {
    if (adapter.luid != 0) {
        const auto getEntry = g_ipHelper.GetIfEntry2.TryGet();
        if (getEntry) {
            iphlp::IF_ROW2 row{};
            row.InterfaceLuid = adapter.luid;
            if (getEntry(&row) != NO_ERROR)
                return false;
            FromRow2(row, adapter);
            return true;
        }
    }
    return ReadIfRow(adapter);
}

std::string CNetworkAdapters::GuidText(const GUID& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}
