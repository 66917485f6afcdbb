#include "ui/COptionsPSheet.h"

#include "framework/LoadStringResource.h"
#include "ui/OptionsNotify.h"

#include <algorithm>
#include <iterator>

namespace {

// Help topics of the pages are numbered from here, by stored page number.
const DWORD HELP_CONTEXT_FIRST_PAGE = 200;

// A place the sheet does not have (no tab selected) counts as the first page.
int StoredPageOfTab(int nTab) {
    return nTab >= 0 && nTab < COptionsPSheet::PAGE_COUNT ? COptionsPSheet::STORED_PAGE_OF_TAB[nTab]
                                                          : 0;
}

// The place in the sheet of a stored page number; -1 for a number no page has.
int TabOfStoredPage(int nStored) {
    const int* pBegin = std::begin(COptionsPSheet::STORED_PAGE_OF_TAB);
    const int* pEnd = std::end(COptionsPSheet::STORED_PAGE_OF_TAB);
    const int* pFound = std::find(pBegin, pEnd, nStored);
    return pFound == pEnd ? -1 : static_cast<int>(pFound - pBegin);
}

CPropertySheet::ButtonTexts LoadButtonTexts() {
    return {fw::LoadStringResource(IDS_BUTTON_HELP), fw::LoadStringResource(IDS_BUTTON_OK),
            fw::LoadStringResource(IDS_BUTTON_CANCEL), fw::LoadStringResource(IDS_BUTTON_APPLY)};
}

} // namespace

COptionsPSheet::COptionsPSheet(COptionsHost& host, UINT nIDCaption, HWND hParent, UINT iSelectPage)
    : CPropertySheet(nIDCaption, hParent, iSelectPage), m_pageGeneral(host), m_pageConnection(host),
      m_pageVolume(host), m_pageHistory(host),
      m_hIcon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                            MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                            LR_DEFAULTSIZE))),
      m_host(host) {
    m_psh.dwFlags &= ~PSH_HASHELP;
    AddPage(&m_pageGeneral);
    AddPage(&m_pageConnection);
    AddPage(&m_pageVolume);
    AddPage(&m_pageHistory);
    AddPage(&m_pageAbout);
}

int COptionsPSheet::KnownStoredPage(int nStored) {
    return TabOfStoredPage(nStored) < 0 ? 0 : nStored;
}

COptionsPSheet::~COptionsPSheet() {
    // The pages and the icon are members: the window must go while they still exist.
    DestroyWindow();
}

BOOL COptionsPSheet::Create(HWND, DWORD dwStyle, DWORD dwExStyle) {
    m_bClosing = false;
    return CPropertySheet::Create(nullptr, dwStyle, dwExStyle);
}

BOOL COptionsPSheet::TranslateDialogKeys(MSG* pMsg) {
    // Ctrl+Tab changes the page without the tab control's TCN_SELCHANGE; the page shown last
    // is remembered all the same.
    int nPageBefore = GetActiveIndex();
    BOOL handled = CPropertySheet::TranslateDialogKeys(pMsg);
    if (m_hWnd && GetActiveIndex() != nPageBefore)
        RememberActivePage();
    return handled;
}

BOOL COptionsPSheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE)
        RememberActivePage();
    return CPropertySheet::OnNotify(wParam, lParam, pResult);
}

BOOL COptionsPSheet::OnInitDialog() {
    BOOL result = CPropertySheet::OnInitDialog();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.Get()));
    CreateOwnButtons(LoadButtonTexts(), m_host.HelpFileExists() != FALSE);
    int nTab = TabOfStoredPage(m_host.Profile().nActivePage);
    if (nTab > 0)
        SetActivePage(nTab);
    return result;
}

LRESULT COptionsPSheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HELP:
        ShowHelpForActivePage();
        return TRUE;
    case PSM_CHANGED:
        OnPageChanged(reinterpret_cast<HWND>(wParam));
        return TRUE;
    case PSM_UNCHANGED:
        OnPageUnchanged(reinterpret_cast<HWND>(wParam));
        return TRUE;
    }
    return CPropertySheet::WindowProc(message, wParam, lParam);
}

void COptionsPSheet::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == SC_CLOSE) {
        // The object stays for the next window; it is in use only until the window is gone.
        m_bClosing = true;
        m_nModalResult = IDCANCEL;
        DestroyWindow();
        m_bClosing = false;
        return;
    }
    CPropertySheet::OnSysCommand(nID, lParam);
}

void COptionsPSheet::OnDestroyed() {
    // The page windows are gone with the sheet; their handles must not keep a new window's
    // OK from closing it.
    m_mapModified.clear();
}

void COptionsPSheet::OnPageChanged(HWND hPage) {
    EnableApply(true);
    for (int i = 0; i < GetPageCount(); ++i)
        if (GetPage(i)->GetSafeHwnd() == hPage)
            m_mapModified[hPage] = GetPage(i);
}

void COptionsPSheet::OnPageUnchanged(HWND hPage) {
    m_mapModified.erase(hPage);
    if (m_mapModified.empty())
        EnableApply(false);
}

void COptionsPSheet::EnableApply(bool bEnable) {
    const HWND hApply = GetOwnButton(ID_APPLY_NOW);
    if (IsWindow(hApply))
        EnableWindow(hApply, bEnable);
}

void COptionsPSheet::OnOK() {
    m_bClosing = true;
    CPropertySheet::OnOK();
    // A page that could not apply keeps the sheet open.
    if (!m_mapModified.empty()) {
        m_bClosing = false;
        return;
    }
    PostMessageA(m_host.GetMainWindow(), WM_OPTIONS_NOTIFY, IDOK, 0);
    EndDialog(IDOK);
}

void COptionsPSheet::OnCancel() {
    m_bClosing = true;
    CPropertySheet::OnCancel();
    PostMessageA(m_host.GetMainWindow(), WM_OPTIONS_NOTIFY, IDCANCEL, 0);
    EndDialog(IDCANCEL);
}

void COptionsPSheet::OnApplyNow() {
    CPropertySheet::OnApplyNow();
    // A page that could not apply has kept every page from applying.
    if (!m_mapModified.empty())
        return;
    SendMessageA(m_host.GetMainWindow(), WM_OPTIONS_NOTIFY, ID_APPLY_NOW, 0);
}

void COptionsPSheet::OnHelpButton() {
    ShowHelpForActivePage();
    CPropertySheet::OnHelpButton();
}

void COptionsPSheet::ShowHelpForActivePage() {
    m_host.ShowHelp(HELP_CONTEXT_FIRST_PAGE + StoredPageOfTab(GetActiveIndex()), HELP_CONTEXT);
}

void COptionsPSheet::RememberActivePage() {
    m_host.Profile().nActivePage = StoredPageOfTab(GetActiveIndex());
}
