#pragma once
// What the options sheet and its pages need from the application: the settings they edit, the
// main window they report to, and the help file.
#include "ui/AdapterEntry.h"
#include "ui/ConnectionSettings.h"
// main window they report to, the help file, and the figures the page "Verlauf" draws.
#include "ui/HistoryFigures.h"
#include "ui/ProfileData.h"
#include "ui/VolumeSettings.h"

#include <windows.h>

#include <string>
#include <vector>

class COptionsHost {
public:
    // The application's settings record; the pages and the sheet change it in memory only.
    virtual PROFILEDATA& Profile() = 0;
    // The volume limit; the page "Volumen" changes it in memory only, with every value in range.
    virtual VOLUMESETTINGS& Volume() = 0;
    // What is metered; the page "Verbindung" changes it in memory only.
    virtual CONNECTIONSETTINGS& Connection() = 0;
    // The adapters present now, loopback, tunnel and filter interfaces left out, and the chosen
    // one where it is not present; asked when the page opens and when it refreshes its list.
    virtual std::vector<ADAPTERENTRY> ListAdapters() = 0;
    // The window that receives WM_OPTIONS_NOTIFY and the log commands.
    virtual HWND GetMainWindow() const = 0;
    // TRUE when the help file exists; its path then goes to *pPath when one is given.
    virtual BOOL HelpFileExists(std::string* pPath = nullptr) const = 0;
    // Opens the help file at dwData with the help command nCmd.
    virtual BOOL ShowHelp(DWORD dwData, UINT nCmd) = 0;
    // The figures of the page "Verlauf", counted afresh from the log at each call.
    virtual HistoryFigures GetHistory() = 0;

protected:
    ~COptionsHost() = default;
};
