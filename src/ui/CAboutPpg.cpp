#include "ui/CAboutPpg.h"

#include "framework/LoadStringResource.h"
#include "resource.h"

CAboutPpg::CAboutPpg() : CPropertyPage(IDD_INFO_PAGE) {}

BOOL CAboutPpg::OnApply() {
    SetModified(FALSE);
    return CPropertyPage::OnApply();
}

BOOL CAboutPpg::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_PROGRAM_NAME, fw::LoadStringResource(IDS_PROGRAM_NAME).c_str());
    return TRUE;
}
