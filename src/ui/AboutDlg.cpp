#include "ui/AboutDlg.h"

#include "framework/ResourceString.h"
#include "resource.h"

CAboutDlg::CAboutDlg() : fw::CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_PROGRAM_NAME, fw::LoadResourceString(IDS_PROGRAM_NAME).c_str());
    return TRUE;
}
