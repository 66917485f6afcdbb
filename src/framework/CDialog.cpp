#include "framework/CDialog.h"

#include "framework/CDataExchange.h"

INT_PTR CDialog::DoModal(HWND hParent) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), hParent,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int nResult) {
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    if (!m_hWnd)
        return FALSE;
    CDataExchange dx(m_hWnd, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::OnNotify(WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

BOOL CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

INT_PTR CDialog::Dispatch(CDialog* pDialog, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        pDialog->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(pDialog));
        return pDialog->OnInitDialog();
    }
    // Messages before WM_INITDIALOG (WM_SETFONT, ...) find no object yet.
    if (!pDialog)
        return FALSE;
    LRESULT result = 0;
    switch (message) {
    case WM_COMMAND:
        return pDialog->OnCommand(wParam, lParam);
    case WM_NOTIFY:
        if (!pDialog->OnNotify(wParam, lParam, &result))
            return FALSE;
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        pDialog->m_hWnd = nullptr;
        return FALSE;
    }
    if (!pDialog->OnMessage(message, wParam, lParam, &result))
        return FALSE;
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* pDialog = message == WM_INITDIALOG
                           ? reinterpret_cast<CDialog*>(lParam)
                           : reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return Dispatch(pDialog, hwnd, message, wParam, lParam);
}
