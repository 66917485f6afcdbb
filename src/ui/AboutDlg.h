#pragma once
// The About dialog of the tray menu's "Info...": icon, name, version and notice, and OK.
#include "framework/Dialog.h"

class CAboutDlg : public fw::CDialog {
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;
};
