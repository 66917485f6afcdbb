#include "ui/AboutPpg.h"

#include "framework/ResourceString.h"
#include "resource.h"

CAboutPpg::CAboutPpg() : fw::CPropertyPage(IDD_INFO_PAGE) {}

BOOL CAboutPpg::OnApply() {
    SetModified(FALSE);
    return fw::CPropertyPage::OnApply();
}

BOOL CAboutPpg::OnInitDialog() {
    fw::CPropertyPage::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_PROGRAM_NAME, fw::LoadResourceString(IDS_PROGRAM_NAME).c_str());
    return TRUE;
}
