#pragma once
// The one Wi-Fi interface the simulated wlanapi.dll lists, found from the state file's
// wlan_interface: an interface GUID in braces, or the alias of an interface the system lists
// (GetIfTable2), whose GUID it then takes. An alias not listed (a stick not plugged in), or listed
// with its state unknown or not present (Wine's way with a device pulled out), is no interface.
#include <windows.h>

#include <string>

namespace dialup_sim {

struct WlanInterface {
    GUID guid = {};
    std::wstring description;
};

bool FindWlanInterface(const std::string& name, WlanInterface& found);

// The state file's UTF-8 text as the system's wide characters.
std::wstring WidenUtf8(const std::string& text);

} // namespace dialup_sim
