#pragma once
// One network adapter as the IP helper shows it: who it is, whether it is up, and its byte
// counters.
#include <windows.h>

#include <cstdint>
#include <string>

struct NETWORK_ADAPTER {
    std::string alias;       // the name Windows shows ("Mobilfunk", "Ethernet 2")
    std::string description; // the device's description
    std::string guid;        // the interface GUID, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    std::uint64_t luid = 0;  // Vista and later; 0 on XP, where the index names it
    DWORD dwIndex = 0;       // XP: changes when the device is plugged in again
    bool bUp = false;        // operational, and its medium not known to be disconnected
    std::uint64_t nInOctets = 0;
    std::uint64_t nOutOctets = 0;
    bool bSixtyFourBit = false; // the counters are 64-bit (Vista and later), else 32-bit (XP)
};
