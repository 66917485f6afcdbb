#pragma once
// Which Wi-Fi network an adapter is on, through the WLAN functions.
#include <string>

struct WLAN_NETWORK {
    enum class STATUS {
        notWifi,      // the WLAN functions do not list the adapter
        connected,    // on the network ssid
        notConnected, // a Wi-Fi adapter on no network
        serviceOff,   // no WLAN functions, or their service does not run: cannot be read
        accessDenied, // Windows wants the location permission first: cannot be read
    };
    STATUS status = STATUS::notWifi;
    std::string ssid;

    bool IsReadable() const {
        return status != STATUS::serviceOff && status != STATUS::accessDenied;
    }
};

// The network of the adapter with the interface GUID ("{...}", any letter case).
WLAN_NETWORK ReadWlanNetwork(const std::string& guid);
