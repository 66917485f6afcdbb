#pragma once
// The application's real settings as the options sheet's partner, with the help system
// replaced by a recorder and the adapters by a list of the test's own. The help file is looked
// for beside the test program.
#include "shell/CAppSettings.h"

#include <string>
#include <utility>
#include <vector>

class SheetSettings : public CAppSettings {
public:
    struct HelpCall {
        HWND hOwner;
        std::string file;
        UINT command;
        ULONG_PTR data;
    };

    explicit SheetSettings(HWND hMain) {
        m_profile = {16, 0, 0, 0};
        SetMainWindow(hMain);
        SetHelpFilePath(DefaultHelpFilePath());
        SetWinHelpFunction([this](HWND hOwner, const char* file, UINT command, ULONG_PTR data) {
            m_help.push_back({hOwner, file, command, data});
            return TRUE;
        });
        SetAdapterLister([this] { return m_adapters; });
    }

    // A present adapter; a Wi-Fi one where wlan is not notWifi, listed as such where the
    // WLAN service runs.
    static ADAPTERENTRY Adapter(const char* name, const char* guid, bool bConnected,
                                WLAN_READING wlan = WLAN_READING::notWifi,
                                const char* network = "") {
        ADAPTERENTRY entry;
        entry.name = name;
        entry.description = std::string("Karte ") + name;
        entry.guid = guid;
        entry.bPresent = true;
        entry.bConnected = bConnected;
        entry.bWifi = wlan != WLAN_READING::notWifi && wlan != WLAN_READING::serviceOff;
        entry.wlan = wlan;
        entry.network = network;
        return entry;
    }

    // Context number and command of every help call.
    std::vector<std::pair<ULONG_PTR, UINT>> Contexts() const {
        std::vector<std::pair<ULONG_PTR, UINT>> contexts;
        for (const auto& call : m_help)
            contexts.push_back({call.data, call.command});
        return contexts;
    }

    std::vector<HelpCall> m_help;
    // What ListAdapters answers.
    std::vector<ADAPTERENTRY> m_adapters;
};
