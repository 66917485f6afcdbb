#pragma once
// The application's settings: the record PROFILEDATA in the user's profile, the volume limit and
// the warnings of it shown in values of their own beside it, the autostart
// value under the machine's Run key (or the user's, where the machine's may not be written: a
// standard user on Windows NT), and the help file. The application object owns one and
// lends it to the options sheet.
#include "shell/CVolumeWatch.h"
#include "ui/ProfileData.h"
#include "ui/OptionsHost.h"
#include "ui/VolumeSettings.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>
#include <utility>

class CAppSettings : public COptionsHost {
public:
    // The help system's entry point; tests put a recorder in its place.
    using WinHelpFunction = std::function<BOOL(HWND, const char*, UINT, ULONG_PTR)>;

    CAppSettings();
    virtual ~CAppSettings() = default;

    PROFILEDATA m_profile;
    // How often the running connection is written to "clog.run": the value "CheckpointSeconds"
    // beside "Profile", a minute where it is missing, never where it is 0. Only read, never
    // written.
    static constexpr unsigned long DEFAULT_CHECKPOINT_SECONDS = 60;
    unsigned long m_nCheckpointSeconds = DEFAULT_CHECKPOINT_SECONDS;
    // The volume limit: the DWORD values "VolumeLimitMB", "VolumeReceivedOnly", "BillingDay" and
    // "VolumeWarnPercent" beside "Profile", each present only while it differs from its default.
    VOLUMESETTINGS m_volume;
    // What is metered: the REG_SZ values "AdapterName", "AdapterGuid" and "WlanNetwork" beside
    // "Profile", each present only while it is not empty.
    CONNECTIONSETTINGS m_connection;
    // How often a chosen adapter is looked at where the system announces no change: the value
    // "AdapterCheckSeconds" beside "Profile", DEFAULT_ADAPTER_CHECK_SECONDS where it is missing
    // or 0. Only read, never written.
    static constexpr unsigned long DEFAULT_ADAPTER_CHECK_SECONDS = 5;
    unsigned long m_nAdapterCheckSeconds = DEFAULT_ADAPTER_CHECK_SECONDS;

    // Reads the record from the profile value "Profile"; whether the program starts with
    // Windows comes from the Run value, whatever the record says. A volume value that is missing
    // or of another type is its default, one out of range is moved to the range's nearest end.
    void LoadSettings();
    // Writes or deletes the Run value, then the record, then the volume values (a value at its
    // default is deleted), then what is metered (an empty value is deleted). Failures are silent.
    void SaveSettings();
    // The warnings of the volume limit shown in the current billing period, kept so that a
    // restart does not show them again: the DWORD values "VolumeWarnedPeriod" and
    // "VolumeWarnedPercent" beside "Profile", each present only while it is not 0, so that
    // nothing is written while no limit is set. Failures are silent.
    CVolumeWatch::WARNED LoadVolumeWarned() const;
    void SaveVolumeWarned(const CVolumeWatch::WARNED& warned) const;
    // One binary value, there only while a split is kept.
    CVolumeWatch::SPLIT LoadVolumeSplit() const;
    void SaveVolumeSplit(const CVolumeWatch::SPLIT& split) const;
    // TRUE writes the Run value (the quoted program path) under the machine's Run key, or under
    // the user's where the machine's refuses it, and leaves it in one of them only. FALSE
    // deletes it from both, where allowed.
    void SetAutoStart(BOOL bAutoStart);
    // TRUE when the Run value of the machine or of the user can be read as text.
    BOOL IsAutoStartSet() const;
    // The roots of the two Run keys; tests hand in keys of their own, one that refuses writes.
    void SetRunRoots(HKEY hMachine, HKEY hUser) {
        m_hMachineRoot = hMachine;
        m_hUserRoot = hUser;
    }

    // The framework's help path: the program file with the extension ".HLP".
    static std::string DefaultHelpFilePath();
    // Puts the help file "tarvolo.hlp" into the folder of defaultHelpPath; a path that
    // already names it (in any letter case) is kept.
    void SetHelpFilePath(const std::string& defaultHelpPath);
    const std::string& GetHelpFilePath() const { return m_strHelpFilePath; }

    // The window the help system and the options sheet report to.
    void SetMainWindow(HWND hWnd) { m_hMainWnd = hWnd; }
    void SetWinHelpFunction(WinHelpFunction winHelp) { m_winHelp = std::move(winHelp); }
    // Where ListAdapters gets its answer: the frame, which knows the adapters.
    using AdapterLister = std::function<std::vector<ADAPTERENTRY>()>;
    void SetAdapterLister(AdapterLister lister) { m_listAdapters = std::move(lister); }

    // Where the page "Verlauf" gets its figures: the frame counts them from its log. Without a
    // source the page shows none.
    using HistorySource = std::function<HistoryFigures()>;
    void SetHistorySource(HistorySource source) { m_historySource = std::move(source); }

    PROFILEDATA& Profile() override { return m_profile; }
    VOLUMESETTINGS& Volume() override { return m_volume; }
    CONNECTIONSETTINGS& Connection() override { return m_connection; }
    std::vector<ADAPTERENTRY> ListAdapters() override {
        return m_listAdapters ? m_listAdapters() : std::vector<ADAPTERENTRY>();
    }
    HWND GetMainWindow() const override { return m_hMainWnd; }
    BOOL HelpFileExists(std::string* pPath = nullptr) const override;
    BOOL ShowHelp(DWORD dwData, UINT nCmd) override;
    HistoryFigures GetHistory() override {
        return m_historySource ? m_historySource() : HistoryFigures();
    }

private:
    void LoadVolume();
    void SaveVolume();
    void LoadConnection();
    void SaveConnection();

    std::string m_strHelpFilePath;
    HWND m_hMainWnd = nullptr;
    HKEY m_hMachineRoot = HKEY_LOCAL_MACHINE;
    HKEY m_hUserRoot = HKEY_CURRENT_USER;
    WinHelpFunction m_winHelp;
    AdapterLister m_listAdapters;
    HistorySource m_historySource;
};
