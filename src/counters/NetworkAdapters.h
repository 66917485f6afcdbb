#pragma once
// The system's network adapters through the IP helper: GetIfTable2 and GetIfEntry2 where the
// system has them (Vista and later), GetAdaptersAddresses and GetIfEntry on XP.
#include "counters/NetworkAdapter.h"

#include <string>
#include <vector>

class CNetworkAdapters {
public:
    // The adapters present, loopback, tunnel and filter interfaces left out.
    static std::vector<NETWORK_ADAPTER> List();
    // The adapter with the GUID, or where there is none (or no GUID is given), the first with
    // the alias (letter case aside): a device plugged into another port may come back under a
    // new identity, but with its name.
    static bool Find(const std::string& guid, const std::string& alias, NETWORK_ADAPTER& adapter);
    // The same among adapters listed before.
    static bool FindIn(const std::vector<NETWORK_ADAPTER>& adapters, const std::string& guid,
                       const std::string& alias, NETWORK_ADAPTER& adapter);
    // Reads the state and counters of an adapter found before; false once it is gone, or on XP
    // once its index names another interface.
    static bool Refresh(NETWORK_ADAPTER& adapter);
    // "{XXXXXXXX-...}" in upper case.
    static std::string GuidText(const GUID& guid);
};
