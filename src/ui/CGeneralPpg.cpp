#include "ui/CGeneralPpg.h"

#include "framework/CDataExchange.h"
#include "resource.h"
#include "ui/DesktopShortcut.h"

CGeneralPpg::CGeneralPpg(COptionsHost& host)
    : CPropertyPage(IDD_GENERAL_PAGE), m_bAutoStart(host.Profile().bAutoStart),
      m_bSortAscending(host.Profile().bSortAscending), m_bAutoStartChanged(FALSE), m_host(host) {}

BOOL CGeneralPpg::OnApply() {
    SetModified(FALSE);
    return CPropertyPage::OnApply();
}

void CGeneralPpg::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_AUTOSTART, m_bAutoStart);
    DDX_Check(pDX, IDC_SORT_ASCENDING, m_bSortAscending);
}

BOOL CGeneralPpg::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    return TRUE;
}

void CGeneralPpg::OnOK() {
    PROFILEDATA& profile = m_host.Profile();
    profile.bAutoStart = m_bAutoStart;
    profile.bSortAscending = m_bSortAscending;
    // The shortcut question comes while the sheet is still open, before the frame saves.
    if (m_bAutoStartChanged && !m_bAutoStart)
        OfferDesktopShortcut(m_hWnd);
    m_bAutoStartChanged = FALSE;
}

BOOL CGeneralPpg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED)
        return CPropertyPage::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case IDC_AUTOSTART:
        OnClickedAutoStart();
        return TRUE;
    case IDC_SHOW_LOG:
        OnClickedShowLog();
        return TRUE;
    case IDC_DELETE_LOG:
        OnClickedDeleteLog();
        return TRUE;
    case IDC_SORT_ASCENDING:
        OnClickedSort();
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CGeneralPpg::OnClickedAutoStart() {
    // Every click counts, also one that restores the old state.
    m_bAutoStartChanged = TRUE;
    SetModified(TRUE);
}

void CGeneralPpg::OnClickedShowLog() {
    PostToMainWindow(ID_SHOW_LOG);
}

void CGeneralPpg::OnClickedDeleteLog() {
    PostToMainWindow(ID_DELETE_LOG);
}

void CGeneralPpg::OnClickedSort() {
    SetModified(TRUE);
}

void CGeneralPpg::PostToMainWindow(UINT nCommand) const {
    PostMessageA(m_host.GetMainWindow(), WM_COMMAND, nCommand, 0);
}
