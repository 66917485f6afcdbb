#pragma once
// The options page "Allgemein": start with Windows, the order of the connection report, and
// two buttons that show or delete the log at once.
#include "framework/CPropertyPage.h"
#include "ui/OptionsHost.h"

class CGeneralPpg : public CPropertyPage {
public:
    // Copies the two settings from the host's record.
    explicit CGeneralPpg(COptionsHost& host);

    BOOL m_bAutoStart;        // check box "start with Windows"
    BOOL m_bSortAscending;    // check box "sort ascending"
    BOOL m_bAutoStartChanged; // the autostart box was clicked since the last apply

    // Marks the page unchanged, then stores the values through OnOK.
    BOOL OnApply() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Runs on every apply: writes the values into the settings record and offers a desktop
    // shortcut when autostart has just been switched off.
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void OnClickedAutoStart();
    void OnClickedShowLog();
    void OnClickedDeleteLog();
    void OnClickedSort();
    void PostToMainWindow(UINT nCommand) const;

    COptionsHost& m_host;
};
