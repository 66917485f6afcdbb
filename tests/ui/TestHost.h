#pragma once
#include "ui/OptionsHost.h"

#include <io.h>

#include <utility>
#include <vector>

// temporary host until the settings land
class TestHost : public COptionsHost {
public:
    explicit TestHost(HWND hMain) : m_hMain(hMain) {}
    PROFILEDATA& Profile() override { return m_profile; }
    HWND GetMainWindow() const override { return m_hMain; }
    BOOL HelpFileExists(std::string* pPath = nullptr) const override {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string p = path;
        p = p.substr(0, p.rfind('\\') + 1) + "tarvolo.hlp";
        if (_access(p.c_str(), 0) != 0)
            return FALSE;
        if (pPath)
            *pPath = p;
        return TRUE;
    }
    BOOL ShowHelp(DWORD dwData, UINT nCmd) override {
        m_help.push_back({dwData, nCmd});
        return TRUE;
    }
    PROFILEDATA m_profile = {16, 0, 0, 0};
    HWND m_hMain;
    std::vector<std::pair<DWORD, UINT>> m_help;
};
