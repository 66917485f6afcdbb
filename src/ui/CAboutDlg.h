#pragma once
// The About dialog of the tray menu's "Info...": icon, name, version and notice, and OK.
#include "framework/CDialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;
};
