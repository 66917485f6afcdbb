#pragma once
// The application's settings: the record PROFILEDATA in the user's profile, the autostart
// value under the machine's Run key, and the help file. The application object owns one and
// lends it to the options sheet.
#include "ui/ProfileData.h"
#include "ui/OptionsHost.h"

#include <windows.h>

#include <functional>
#include <string>

class CAppSettings : public COptionsHost {
public:
    // The help system's entry point; tests put a recorder in its place.
    using WinHelpFunction = std::function<BOOL(HWND, const char*, UINT, ULONG_PTR)>;

    CAppSettings();
    virtual ~CAppSettings() = default;

    PROFILEDATA m_profile;

    // Reads the record from the profile value "Profile"; whether the program starts with
    // Windows comes from the Run value, whatever the record says.
    void LoadSettings();
    // Writes or deletes the Run value, then the record. Failures are silent.
    void SaveSettings();
    // TRUE writes the Run value (the quoted program path), FALSE deletes it.
    void SetAutoStart(BOOL bAutoStart);
    // TRUE when the Run value can be read as text.
    BOOL IsAutoStartSet() const;

    // The framework's help path: the program file with the extension ".HLP".
    static std::string DefaultHelpFilePath();
    // Puts the help file "tarvolo.hlp" into the folder of defaultHelpPath; a path that
    // already names it (in any letter case) is kept.
    void SetHelpFilePath(const std::string& defaultHelpPath);
    const std::string& GetHelpFilePath() const { return m_strHelpFilePath; }

    // The window the help system and the options sheet report to.
    void SetMainWindow(HWND hWnd) { m_hMainWnd = hWnd; }
    void SetWinHelpFunction(WinHelpFunction winHelp) { m_winHelp = std::move(winHelp); }

    PROFILEDATA& Profile() override { return m_profile; }
    HWND GetMainWindow() const override { return m_hMainWnd; }
    BOOL HelpFileExists(std::string* pPath = nullptr) const override;
    BOOL ShowHelp(DWORD dwData, UINT nCmd) override;

private:
    std::string m_strHelpFilePath;
    HWND m_hMainWnd = nullptr;
    WinHelpFunction m_winHelp;
};
