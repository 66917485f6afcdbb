#pragma once
// The application's real settings as the options sheet's partner, with the help system
// replaced by a recorder. The help file is looked for beside the test program.
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
    }

    // Context number and command of every help call.
    std::vector<std::pair<ULONG_PTR, UINT>> Contexts() const {
        std::vector<std::pair<ULONG_PTR, UINT>> contexts;
        for (const auto& call : m_help)
            contexts.push_back({call.data, call.command});
        return contexts;
    }

    std::vector<HelpCall> m_help;
};
