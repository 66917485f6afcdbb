#pragma once
// One line of the adapter list on the page "Verbindung": an adapter present now, or the chosen
// one that is not.
#include <string>

// Whether the adapter's Wi-Fi network can be read, and if not, why.
enum class WLAN_READING {
    notWifi,      // not a Wi-Fi adapter (or the system cannot tell): no network rule
    readable,     // the current network can be read
    serviceOff,   // the WLAN service does not run
    accessDenied, // Windows asks for the location permission first
};

struct ADAPTERENTRY {
    std::string name;        // the alias, as stored in "AdapterName"
    std::string description; // the adapter's description
    std::string guid;        // as stored in "AdapterGuid"
    bool bPresent = false;   // listed by the system now
    bool bConnected = false; // up, and on the network where one is named
    bool bWifi = false;      // listed by the WLAN functions
    WLAN_READING wlan = WLAN_READING::notWifi;
    std::string network; // the current Wi-Fi network, where it can be read
};
