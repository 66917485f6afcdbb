#include "ui/COptionsPSheet.h"

#include "framework/LoadStringResource.h"
#include "ui/OptionsNotify.h"

#include <algorithm>
#include <iterator>

namespace {

// Help topics of the pages are numbered from here, by stored page number.
const DWORD HELP_CONTEXT_FIRST_PAGE = 200;

// The stored number of each page, in the order the sheet shows them. "Volumen" came after the
// other two had their numbers, so a number stored by an older version still names its page.
const int STORED_PAGE_OF_TAB[] = {0, 2, 1};
static_assert(std::size(STORED_PAGE_OF_TAB) == COptionsPSheet::PAGE_COUNT,
              "every page has a stored number");

// A place the sheet does not have (no tab selected) counts as the first page.
int StoredPageOfTab(int nTab) {
    return nTab >= 0 && nTab < COptionsPSheet::PAGE_COUNT ? STORED_PAGE_OF_TAB[nTab] : 0;
}

// The place in the sheet of a stored page number; -1 for a number no page has.
int TabOfStoredPage(int nStored) {
    const int* pFound =
        std::find(std::begin(STORED_PAGE_OF_TAB), std::end(STORED_PAGE_OF_TAB), nStored);
    return pFound == std::end(STORED_PAGE_OF_TAB) ? -1
                                                  : static_cast<int>(pFound - STORED_PAGE_OF_TAB);
}

const UINT BUTTON_TEXTS[] = {IDS_BUTTON_APPLY, IDS_BUTTON_OK, IDS_BUTTON_CANCEL, IDS_BUTTON_HELP};

RECT ClientRectOfChild(HWND hParent, HWND hChild) {
    RECT rc;
    GetWindowRect(hChild, &rc);
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Wide enough for the longest label, and never narrower than 72 pixels.
int ButtonWidth(int bx) {
    int width = 72;
    for (UINT id : BUTTON_TEXTS) {
        int length = static_cast<int>(fw::LoadStringResource(id).size());
        width = std::max(width, (length - 2) * bx);
    }
    return width;
}

} // namespace

COptionsPSheet::COptionsPSheet(COptionsHost& host, UINT nIDCaption, HWND hParent, UINT iSelectPage)
    : CPropertySheet(nIDCaption, hParent, iSelectPage), m_pageGeneral(host), m_pageVolume(host),
      m_hIcon(
          static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))),
      m_host(host) {
    m_psh.dwFlags &= ~PSH_HASHELP;
    AddPage(&m_pageGeneral);
    AddPage(&m_pageVolume);
    AddPage(&m_pageAbout);
}

COptionsPSheet::~COptionsPSheet() {
    // The pages and the icon are members: the window must go while they still exist.
    DestroyWindow();
}

BOOL COptionsPSheet::Create(HWND, DWORD dwStyle, DWORD dwExStyle) {
    m_bClosing = false;
    return CPropertySheet::Create(nullptr, dwStyle, dwExStyle);
}

BOOL COptionsPSheet::PreTranslateMessage(MSG* pMsg) {
    if (IsEnterForOwnOK(*pMsg)) {
        SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_btnOK));
        return TRUE;
    }
    // Ctrl+Tab changes the page without the tab control's TCN_SELCHANGE; the page shown last
    // is remembered all the same.
    int nPageBefore = GetActiveIndex();
    BOOL handled = CPropertySheet::PreTranslateMessage(pMsg);
    if (m_hWnd && GetActiveIndex() != nPageBefore)
        RememberActivePage();
    return handled;
}

// The dialog manager would look for the default button by its id, find the hidden, disabled
// standard OK of the property sheet control, and do nothing. A push button with the focus
// keeps Enter for itself.
bool COptionsPSheet::IsEnterForOwnOK(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || !IsWindowEnabled(m_btnOK))
        return false;
    LRESULT code =
        SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    return !(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_WANTALLKEYS));
}

BOOL COptionsPSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED || m_bInCommand)
        return CPropertySheet::OnCommand(wParam, lParam);
    m_bInCommand = true;
    bool handled = true;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        break;
    case IDCANCEL:
        OnCancel();
        break;
    case IDHELP:
        OnHelpButton();
        break;
    case ID_APPLY_NOW:
        OnApplyNow();
        break;
    default:
        handled = false;
    }
    m_bInCommand = false;
    return handled || CPropertySheet::OnCommand(wParam, lParam);
}

BOOL COptionsPSheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE)
        RememberActivePage();
    return CPropertySheet::OnNotify(wParam, lParam, pResult);
}

BOOL COptionsPSheet::OnInitDialog() {
    BOOL result = CPropertySheet::OnInitDialog();
    LONG units = GetDialogBaseUnits();
    int bx = LOWORD(units);
    int by = HIWORD(units);
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.Get()));
    GrowWindow(2 * by);
    CreateButtons(bx, by);
    EnableWindow(m_btnApply, FALSE);
    if (m_host.HelpFileExists())
        ShowWindow(m_btnHelp, SW_SHOW);
    LayoutButtons();
    SetButtonFont();
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
    m_btnHelp = m_btnApply = m_btnOK = m_btnCancel = nullptr;
}

void COptionsPSheet::OnPageChanged(HWND hPage) {
    if (IsWindow(m_btnApply))
        EnableWindow(m_btnApply, TRUE);
    for (int i = 0; i < GetPageCount(); ++i)
        if (GetPage(i)->GetSafeHwnd() == hPage)
            m_mapModified[hPage] = GetPage(i);
}

void COptionsPSheet::OnPageUnchanged(HWND hPage) {
    m_mapModified.erase(hPage);
    if (m_mapModified.empty() && IsWindow(m_btnApply))
        EnableWindow(m_btnApply, FALSE);
}

void COptionsPSheet::OnOK() {
    m_bClosing = true;
    PressButton(PSBTN_OK);
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
    PressButton(PSBTN_CANCEL);
    PostMessageA(m_host.GetMainWindow(), WM_OPTIONS_NOTIFY, IDCANCEL, 0);
    EndDialog(IDCANCEL);
}

void COptionsPSheet::OnApplyNow() {
    PressButton(PSBTN_APPLYNOW);
    SendMessageA(m_host.GetMainWindow(), WM_OPTIONS_NOTIFY, ID_APPLY_NOW, 0);
}

void COptionsPSheet::OnHelpButton() {
    ShowHelpForActivePage();
    PressButton(PSBTN_HELP);
}

void COptionsPSheet::ShowHelpForActivePage() {
    m_host.ShowHelp(HELP_CONTEXT_FIRST_PAGE + StoredPageOfTab(GetActiveIndex()), HELP_CONTEXT);
}

void COptionsPSheet::RememberActivePage() {
    m_host.Profile().nActivePage = StoredPageOfTab(GetActiveIndex());
}

void COptionsPSheet::GrowWindow(int cy) {
    RECT rc;
    GetWindowRect(m_hWnd, &rc);
    SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top + cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void COptionsPSheet::CreateButtons(int bx, int by) {
    RECT rcTab = ClientRectOfChild(m_hWnd, GetTabControl());
    int y = rcTab.bottom + by / 4 + 2;
    int cx = ButtonWidth(bx);
    int cy = (3 * by) / 2;
    // Created in this order, the row reads Help, OK, Cancel, Apply from left to right.
    m_btnHelp = CreateButton(IDS_BUTTON_HELP, IDHELP, WS_CHILD | WS_TABSTOP, y, cx, cy);
    m_btnOK = CreateButton(IDS_BUTTON_OK, IDOK,
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, y, cx, cy);
    m_btnCancel =
        CreateButton(IDS_BUTTON_CANCEL, IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP, y, cx, cy);
    m_btnApply =
        CreateButton(IDS_BUTTON_APPLY, ID_APPLY_NOW, WS_CHILD | WS_VISIBLE | WS_TABSTOP, y, cx, cy);
}

HWND COptionsPSheet::CreateButton(UINT nIDText, int nID, DWORD dwStyle, int y, int cx, int cy) {
    return CreateWindowExA(0, "BUTTON", fw::LoadStringResource(nIDText).c_str(), dwStyle, 0, y, cx,
                           cy, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)),
                           GetModuleHandleA(nullptr), nullptr);
}

// Right-aligns every visible child below the tab control, the last created rightmost, with
// the tab control's right margin as the gap.
void COptionsPSheet::LayoutButtons() {
    HWND hAnchor = ::GetDlgItem(m_hWnd, ID_APPLY_NOW);
    if (!hAnchor || !IsWindow(hAnchor))
        return;
    HWND hTab = GetTabControl();
    RECT rcTab = ClientRectOfChild(m_hWnd, hTab);
    RECT rcClient;
    GetClientRect(m_hWnd, &rcClient);
    int margin = rcClient.right - rcTab.right;
    int x = rcClient.right;
    int nTabId = GetDlgCtrlID(hTab);
    for (HWND hChild = GetWindow(hAnchor, GW_HWNDLAST); hChild;
         hChild = GetWindow(hChild, GW_HWNDPREV)) {
        if (GetDlgCtrlID(hChild) == nTabId)
            continue;
        RECT rc = ClientRectOfChild(m_hWnd, hChild);
        if (rc.top <= rcTab.bottom || !(GetWindowLongA(hChild, GWL_STYLE) & WS_VISIBLE))
            continue;
        int width = rc.right - rc.left;
        x -= margin + width;
        MoveWindow(hChild, x, rc.top, width, rc.bottom - rc.top, TRUE);
    }
}

void COptionsPSheet::SetButtonFont() {
    LPARAM hFont = SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    for (HWND hButton : {m_btnApply, m_btnOK, m_btnCancel, m_btnHelp})
        SendMessageA(hButton, WM_SETFONT, hFont, TRUE);
}
