#include "framework/CPropertyPage.h"

PROPSHEETPAGEA CPropertyPage::GetPageDescription() {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(GetTemplateId());
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

void CPropertyPage::SetModified(BOOL bChanged) {
    if (!m_hWnd)
        return;
    SendMessageA(GetParent(m_hWnd), bChanged ? PSM_CHANGED : PSM_UNCHANGED,
                 reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}

BOOL CPropertyPage::OnSetActive() {
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

void CPropertyPage::OnReset() {
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}

BOOL CPropertyPage::OnInitDialog() {
    m_bFirstSetActive = TRUE;
    return CDialog::OnInitDialog();
}

BOOL CPropertyPage::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}

BOOL CPropertyPage::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    switch (pHeader->code) {
    case PSN_SETACTIVE:
        *pResult = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        *pResult = !OnKillActive();
        return TRUE;
    case PSN_APPLY:
        *pResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return TRUE;
    case PSN_RESET:
        OnReset();
        return TRUE;
    case PSN_QUERYCANCEL:
        *pResult = !OnQueryCancel();
        return TRUE;
    }
    return FALSE;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* pDialog = nullptr;
    if (message == WM_INITDIALOG)
        pDialog = reinterpret_cast<CPropertyPage*>(
            reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
    else
        pDialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return Dispatch(pDialog, hwnd, message, wParam, lParam);
}
