#include "ui/CAboutDlg.h"

#include "framework/LoadStringResource.h"
#include "resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_PROGRAM_NAME, fw::LoadStringResource(IDS_PROGRAM_NAME).c_str());
    return TRUE;
}
