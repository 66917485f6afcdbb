#include "shell/AdapterList.h"

#include "counters/NetworkAdapters.h"
#include "links/CAdapterWatcher.h"
#include "links/WlanNetwork.h"

namespace {

WLAN_READING ReadingOf(const WLAN_NETWORK& network) {
    switch (network.status) {
    case WLAN_NETWORK::STATUS::notWifi:
        return WLAN_READING::notWifi;
    case WLAN_NETWORK::STATUS::serviceOff:
        return WLAN_READING::serviceOff;
    case WLAN_NETWORK::STATUS::accessDenied:
        return WLAN_READING::accessDenied;
    default:
        return WLAN_READING::readable;
    }
}

} // namespace

std::vector<ADAPTERENTRY> ListAdapterEntries(const CONNECTIONSETTINGS& chosen) {
    const std::vector<NETWORK_ADAPTER> adapters = CNetworkAdapters::List();
    NETWORK_ADAPTER found;
    const bool bFound =
        chosen.UsesAdapter() &&
        CNetworkAdapters::FindIn(adapters, chosen.adapterGuid, chosen.adapterName, found);
    std::vector<ADAPTERENTRY> entries;
    bool bChosenListed = false;
    for (const NETWORK_ADAPTER& adapter : adapters) {
        ADAPTERENTRY entry;
        entry.name = adapter.alias;
        entry.description = adapter.description;
        entry.guid = adapter.guid;
        entry.bPresent = true;
        const bool bChosen = bFound && adapter.guid == found.guid;
        const WLAN_NETWORK network = ReadWlanNetwork(adapter.guid);
        // Without the service no adapter is known as a Wi-Fi one; why only matters where a
        // network is named.
        const bool bServiceOff = network.status == WLAN_NETWORK::STATUS::serviceOff;
        entry.wlan = bServiceOff && !(bChosen && !chosen.wlanNetwork.empty())
                         ? WLAN_READING::notWifi
                         : ReadingOf(network);
        entry.bWifi = network.status != WLAN_NETWORK::STATUS::notWifi && !bServiceOff;
        if (network.status == WLAN_NETWORK::STATUS::connected)
            entry.network = network.ssid;
        bChosenListed = bChosenListed || bChosen;
        entry.bConnected = CAdapterWatcher::IsLinkUp(
            true, adapter.bUp, bChosen ? chosen.wlanNetwork : std::string(), network);
        entries.push_back(entry);
    }
    if (chosen.UsesAdapter() && !bChosenListed) {
        ADAPTERENTRY entry;
        entry.name = chosen.adapterName;
        entry.guid = chosen.adapterGuid;
        entries.push_back(entry);
    }
    return entries;
}
