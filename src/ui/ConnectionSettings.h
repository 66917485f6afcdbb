#pragma once
// What the program meters, as the user chooses it on the page "Verbindung": the dial-up
// connections (the default, nothing stored) or one network adapter, perhaps only while it is on
// one Wi-Fi network. Stored in registry values of their own beside "Profile", each present only
// while it is not empty.
#include <string>

struct CONNECTIONSETTINGS {
    // "AdapterName": the adapter's name as Windows shows it (its alias; on XP the connection's
    // name in "Network Connections"). Decides where the identity is missing or not found.
    std::string adapterName;
    // "AdapterGuid": the interface GUID, "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"; wins over the
    // name, so that a renamed adapter is still found.
    std::string adapterGuid;
    // "WlanNetwork": the network name (SSID) the adapter must be on to count; empty: any.
    std::string wlanNetwork;

    bool UsesAdapter() const { return !adapterName.empty() || !adapterGuid.empty(); }
    bool operator==(const CONNECTIONSETTINGS& other) const {
        return adapterName == other.adapterName && adapterGuid == other.adapterGuid &&
               wlanNetwork == other.wlanNetwork;
    }
    bool operator!=(const CONNECTIONSETTINGS& other) const { return !(*this == other); }
};
