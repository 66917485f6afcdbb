#include "framework/CPropertySheet.h"

#include "framework/LoadStringResource.h"
#include "framework/ModelessWindows.h"

#include <algorithm>

namespace {

const char OBJECT_PROPERTY[] = "fw:CPropertySheet";

// The sheet whose window PropertySheetA is creating on this thread. The creation hook and the
// sheet callback have no parameter of their own to carry it.
thread_local CPropertySheet* t_pCreatingSheet = nullptr;
thread_local HHOOK t_hCreationHook = nullptr;

// The extended template the property sheet control may use in place of DLGTEMPLATE.
struct DialogTemplateEx {
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
};

// The standard buttons of the property sheet control, useless in a modeless sheet.
const int STANDARD_BUTTONS[] = {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP};

RECT ClientRectOfChild(HWND hParent, HWND hChild) {
    RECT rc;
    GetWindowRect(hChild, &rc);
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Wide enough for the longest label, and never narrower than 72 pixels.
int ButtonWidth(const CPropertySheet::ButtonTexts& texts, int bx) {
    int width = 72;
    for (const std::string* text : {&texts.apply, &texts.ok, &texts.cancel, &texts.help})
        width = std::max(width, (static_cast<int>(text->size()) - 2) * bx);
    return width;
}

} // namespace

CPropertySheet::CPropertySheet(UINT nIDCaption, HWND hParent, UINT iSelectPage)
    : m_psh(), m_strCaption(fw::LoadStringResource(nIDCaption)) {
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP;
    m_psh.hwndParent = hParent;
    m_psh.hInstance = GetModuleHandleA(nullptr);
    m_psh.nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet() {
    // A derived sheet destroys its window in its own destructor, while its pages still live;
    // this is only the last resort.
    DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    m_pages.push_back(pPage);
}

BOOL CPropertySheet::Create(HWND hParent, DWORD dwStyle, DWORD dwExStyle) {
    if (m_hWnd || t_pCreatingSheet)
        return FALSE;
    if (dwStyle == static_cast<DWORD>(-1))
        dwStyle = DS_MODALFRAME | DS_3DLOOK | DS_CONTEXTHELP | DS_SETFONT | WS_POPUP | WS_VISIBLE |
                  WS_CAPTION | WS_SYSMENU;
    m_dwCreateStyle = dwStyle;
    m_dwCreateExStyle = dwExStyle;
    m_nModalResult = 0;
    PrepareHeader(hParent);

    t_pCreatingSheet = this;
    t_hCreationHook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    HWND hCreated = reinterpret_cast<HWND>(PropertySheetA(&m_psh));
    if (t_hCreationHook)
        UnhookWindowsHookEx(t_hCreationHook);
    t_hCreationHook = nullptr;
    t_pCreatingSheet = nullptr;
    // Without the hook the window would run without this object's handlers.
    if (hCreated && !m_hWnd)
        ::DestroyWindow(hCreated);
    return m_hWnd != nullptr;
}

void CPropertySheet::PrepareHeader(HWND hParent) {
    m_pageDescriptions.clear();
    for (CPropertyPage* pPage : m_pages)
        m_pageDescriptions.push_back(pPage->GetPageDescription());
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
    m_psh.hwndParent = hParent;
    m_psh.pszCaption = m_strCaption.c_str();
    m_psh.nPages = static_cast<UINT>(m_pageDescriptions.size());
    m_psh.ppsp = m_pageDescriptions.data();
    m_psh.pfnCallback = SheetCallback;
}

int CPropertySheet::GetActiveIndex() const {
    if (!m_hWnd)
        return static_cast<int>(m_psh.nStartPage);
    return TabCtrl_GetCurSel(GetTabControl());
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    if (!m_hWnd)
        return FALSE;
    return PropSheet_SetCurSel(m_hWnd, nullptr, nPage);
}

HWND CPropertySheet::GetTabControl() const {
    return m_hWnd ? PropSheet_GetTabControl(m_hWnd) : nullptr;
}

BOOL CPropertySheet::PressButton(int nButton) {
    if (!m_hWnd)
        return FALSE;
    // Sent, not posted as the SDK's macro does: the caller looks at the pages' state afterwards.
    return static_cast<BOOL>(SendMessageA(m_hWnd, PSM_PRESSBUTTON, nButton, 0));
}

void CPropertySheet::EndDialog(int nEndID) {
    m_nModalResult = nEndID;
    DestroyWindow();
}

void CPropertySheet::DestroyWindow() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
    if (IsEnterForOwnOK(*pMsg)) {
        SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_btnOK));
        return TRUE;
    }
    return TranslateDialogKeys(pMsg);
}

BOOL CPropertySheet::TranslateDialogKeys(MSG* pMsg) {
    HWND hSheet = m_hWnd;
    // A key that closed the sheet was handled, though the closed window can no longer say so.
    return PropSheet_IsDialogMessage(hSheet, pMsg) || !IsWindow(hSheet);
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(wParam, lParam, &result))
            return result;
        break;
    }
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_NCDESTROY: {
        LRESULT result = Default();
        Detach();
        return result;
    }
    }
    return Default();
}

LRESULT CPropertySheet::Default() {
    return CallWindowProcA(m_pfnSuper, m_hWnd, m_current.message, m_current.wParam,
                           m_current.lParam);
}

BOOL CPropertySheet::OnInitDialog() {
    BOOL result = static_cast<BOOL>(Default());
    RemoveStandardButtons();
    CenterOnWorkArea();
    return result;
}

// The dialog manager would look for the default button by its id, find the hidden, disabled
// standard OK of the property sheet control, and do nothing. A push button with the focus
// keeps Enter for itself.
bool CPropertySheet::IsEnterForOwnOK(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || !IsWindowEnabled(m_btnOK))
        return false;
    LRESULT code =
        SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    return !(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_WANTALLKEYS));
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED || m_bInCommand)
        return FALSE;
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
    return handled;
}

BOOL CPropertySheet::OnNotify(WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

void CPropertySheet::OnClose() {
    m_nModalResult = IDCANCEL;
    DestroyWindow();
}

void CPropertySheet::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) == SC_CLOSE) {
        m_nModalResult = IDCANCEL;
        SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return;
    }
    Default();
}

void CPropertySheet::OnDestroyed() {}

void CPropertySheet::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    // Subclassed through the window procedure, not SetWindowSubclass: the common controls 5.82
    // of Windows XP export that only by ordinal, and older ones not at all.
    SetPropA(hwnd, OBJECT_PROPERTY, this);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetWndProc)));
    fw::AddModelessWindow(hwnd,
                          [this](HWND, MSG& msg) { return PreTranslateMessage(&msg) != FALSE; });
}

void CPropertySheet::Detach() {
    RemovePropA(m_hWnd, OBJECT_PROPERTY);
    if (m_pfnSuper)
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    fw::RemoveModelessWindow(m_hWnd);
    m_hWnd = nullptr;
    m_btnHelp = m_btnApply = m_btnOK = m_btnCancel = nullptr;
    OnDestroyed();
}

void CPropertySheet::AdjustTemplateStyle(void* pTemplate) const {
    DWORD oldProtect = 0;
    VirtualProtect(pTemplate, sizeof(DialogTemplateEx), PAGE_READWRITE, &oldProtect);
    auto* pEx = static_cast<DialogTemplateEx*>(pTemplate);
    DWORD* pStyle = nullptr;
    DWORD* pExStyle = nullptr;
    if (pEx->signature == 0xFFFF) {
        pStyle = &pEx->style;
        pExStyle = &pEx->exStyle;
    } else {
        auto* pPlain = static_cast<DLGTEMPLATE*>(pTemplate);
        pStyle = &pPlain->style;
        pExStyle = &pPlain->dwExtendedStyle;
    }
    // The template's font stays; everything else is the caller's choice.
    *pStyle = (*pStyle & DS_SETFONT) | (m_dwCreateStyle & ~DWORD(DS_SETFONT));
    *pExStyle = m_dwCreateExStyle;
}

void CPropertySheet::RemoveStandardButtons() {
    RECT rcWindow;
    GetWindowRect(m_hWnd, &rcWindow);
    // The window ends where the standard buttons began.
    if (HWND hOK = ::GetDlgItem(m_hWnd, IDOK)) {
        RECT rcOK;
        GetWindowRect(hOK, &rcOK);
        SetWindowPos(m_hWnd, nullptr, 0, 0, rcWindow.right - rcWindow.left, rcOK.top - rcWindow.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (int id : STANDARD_BUTTONS) {
        if (HWND hButton = ::GetDlgItem(m_hWnd, id)) {
            ShowWindow(hButton, SW_HIDE);
            EnableWindow(hButton, FALSE);
        }
    }
}

void CPropertySheet::CenterOnWorkArea() {
    RECT rcArea;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0))
        return;
    RECT rcWindow;
    GetWindowRect(m_hWnd, &rcWindow);
    int width = rcWindow.right - rcWindow.left;
    int height = rcWindow.bottom - rcWindow.top;
    int x = rcArea.left + (rcArea.right - rcArea.left - width) / 2;
    int y = rcArea.top + (rcArea.bottom - rcArea.top - height) / 2;
    SetWindowPos(m_hWnd, nullptr, std::max(x, int(rcArea.left)), std::max(y, int(rcArea.top)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPropertySheet::CreateOwnButtons(const ButtonTexts& texts, bool bShowHelp) {
    const LONG units = GetDialogBaseUnits();
    const int bx = LOWORD(units);
    const int by = HIWORD(units);
    GrowWindow(2 * by);
    CreateButtons(texts, bx, by);
    EnableWindow(m_btnApply, FALSE);
    if (bShowHelp)
        ShowWindow(m_btnHelp, SW_SHOW);
    LayoutButtons();
    SetButtonFont();
}

HWND CPropertySheet::GetOwnButton(int nID) const {
    switch (nID) {
    case IDOK:
        return m_btnOK;
    case IDCANCEL:
        return m_btnCancel;
    case ID_APPLY_NOW:
        return m_btnApply;
    case IDHELP:
        return m_btnHelp;
    default:
        return nullptr;
    }
}

void CPropertySheet::GrowWindow(int cy) {
    RECT rc;
    GetWindowRect(m_hWnd, &rc);
    SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top + cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPropertySheet::CreateButtons(const ButtonTexts& texts, int bx, int by) {
    RECT rcTab = ClientRectOfChild(m_hWnd, GetTabControl());
    int y = rcTab.bottom + by / 4 + 2;
    int cx = ButtonWidth(texts, bx);
    int cy = (3 * by) / 2;
    // Created in this order, the row reads Help, OK, Cancel, Apply from left to right.
    m_btnHelp = CreateButton(texts.help, IDHELP, WS_CHILD | WS_TABSTOP, y, cx, cy);
    m_btnOK = CreateButton(texts.ok, IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, y,
                           cx, cy);
    m_btnCancel =
        CreateButton(texts.cancel, IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP, y, cx, cy);
    m_btnApply =
        CreateButton(texts.apply, ID_APPLY_NOW, WS_CHILD | WS_VISIBLE | WS_TABSTOP, y, cx, cy);
}

HWND CPropertySheet::CreateButton(const std::string& text, int nID, DWORD dwStyle, int y, int cx,
                                  int cy) {
    return CreateWindowExA(0, "BUTTON", text.c_str(), dwStyle, 0, y, cx, cy, m_hWnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)),
                           GetModuleHandleA(nullptr), nullptr);
}

// Right-aligns every visible child below the tab control, the last created rightmost, with
// the tab control's right margin as the gap.
void CPropertySheet::LayoutButtons() {
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

void CPropertySheet::SetButtonFont() {
    LPARAM hFont = SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    for (HWND hButton : {m_btnApply, m_btnOK, m_btnCancel, m_btnHelp})
        SendMessageA(hButton, WM_SETFONT, hFont, TRUE);
}

int CALLBACK CPropertySheet::SheetCallback(HWND, UINT message, LPARAM lParam) {
    if (message == PSCB_PRECREATE && t_pCreatingSheet && lParam)
        t_pCreatingSheet->AdjustTemplateStyle(reinterpret_cast<void*>(lParam));
    return 0;
}

LRESULT CALLBACK CPropertySheet::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    // The first top-level window that PropertySheetA creates is the sheet; subclassing it here
    // lets the sheet see WM_INITDIALOG.
    if (code == HCBT_CREATEWND && t_pCreatingSheet && !t_pCreatingSheet->m_hWnd) {
        const CREATESTRUCTA* pCreate = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (!(pCreate->style & WS_CHILD))
            t_pCreatingSheet->Attach(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(t_hCreationHook, code, wParam, lParam);
}

LRESULT CALLBACK CPropertySheet::SheetWndProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* pSheet = static_cast<CPropertySheet*>(GetPropA(hwnd, OBJECT_PROPERTY));
    if (!pSheet)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    // Handlers may cause nested messages; each one restores the message it interrupted.
    CurrentMessage previous = pSheet->m_current;
    pSheet->m_current = {message, wParam, lParam};
    LRESULT result = pSheet->WindowProc(message, wParam, lParam);
    pSheet->m_current = previous;
    return result;
}
