#include "shell/CTrayIcon.h"

#include "framework/ScopedHandles.h"

namespace {

// The shell reads only the fields of the first NOTIFYICONDATA, whose tooltip holds 64 bytes.
constexpr DWORD TRAY_DATA_SIZE = NOTIFYICONDATAA_V1_SIZE;
constexpr int TIP_CAPACITY = 64;
static_assert(TRAY_DATA_SIZE == (sizeof(void*) == 4 ? 88 : 104), "first NOTIFYICONDATAA");

// Every second for two minutes.
constexpr UINT RETRY_INTERVAL_MS = 1000;
constexpr int RETRIES = 120;

} // namespace

CTrayIcon::CTrayIcon(ShellNotifyProc shellNotify) : m_nid(), m_pfnShellNotify(shellNotify) {}

CTrayIcon::~CTrayIcon() {
    StopRetries();
    RemoveIcon();
}

bool CTrayIcon::Create(HWND hWnd, UINT uCallbackMessage, LPCSTR lpszTip, HICON hIcon, UINT uID) {
    // The notification area came with Windows 95 and NT 4.
    if (LOBYTE(LOWORD(GetVersion())) < 4 || !hWnd || !IsWindow(hWnd)) {
        m_bEnabled = false;
        return false;
    }
    m_nid.cbSize = TRAY_DATA_SIZE;
    m_nid.hWnd = hWnd;
    m_nid.uID = uID;
    m_nid.hIcon = hIcon;
    m_nid.uCallbackMessage = uCallbackMessage;
    CopyTip(lpszTip);
    m_bSetUp = true;
    m_bEnabled = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    if (!m_bEnabled)
        StartRetries();
    return m_bEnabled;
}

bool CTrayIcon::RetryAdd() {
    if (!m_bSetUp || m_bEnabled)
        return m_bEnabled;
    const UINT uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_bEnabled = Notify(NIM_MODIFY, uFlags) || Notify(NIM_ADD, uFlags);
    if (m_bEnabled)
        StopRetries();
    return m_bEnabled;
}

bool CTrayIcon::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != IDT_RETRY)
        return false;
    if (!RetryAdd() && ++m_nRetries >= RETRIES)
        StopRetries();
    return true;
}

bool CTrayIcon::AddToNewTaskbar() {
    if (!m_bSetUp)
        return false;
    if (m_bEnabled) {
        if (!m_nid.hIcon)
            return true; // nothing to show
        HideIcon();
        if (ShowIcon())
            return true;
        m_bEnabled = false; // not shown: from here on as an icon the shell has not taken yet
    } else if (RetryAdd()) {
        return true;
    }
    StartRetries();
    return false;
}

void CTrayIcon::StartRetries() {
    m_nRetries = 0;
    m_bRetrying = SetTimer(m_nid.hWnd, IDT_RETRY, RETRY_INTERVAL_MS, nullptr) != 0;
}

void CTrayIcon::StopRetries() {
    // At exit the frame's window, and its timer with it, may be gone already.
    if (m_bRetrying && IsWindow(m_nid.hWnd))
        KillTimer(m_nid.hWnd, IDT_RETRY);
    m_bRetrying = false;
}

void CTrayIcon::RemoveIcon() {
    if (!m_bEnabled)
        return;
    Notify(NIM_DELETE, 0);
    m_bEnabled = false;
}

bool CTrayIcon::HideIcon() {
    if (!m_bEnabled || m_bHidden)
        return false;
    const bool bResult = Notify(NIM_DELETE, NIF_ICON);
    m_bHidden = true;
    return bResult;
}

bool CTrayIcon::ShowIcon() {
    if (!m_bEnabled || !m_bHidden)
        return false;
    const bool bResult = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    m_bHidden = false;
    return bResult;
}

bool CTrayIcon::SetIcon(HICON hIcon) {
    m_nid.hIcon = hIcon;
    if (!m_bEnabled)
        return false;
    return Notify(NIM_MODIFY, NIF_ICON);
}

HICON CTrayIcon::GetIcon() const {
    return m_bEnabled ? m_nid.hIcon : nullptr;
}

// The balloon's fields came with the second NOTIFYICONDATA; only this call hands it over, so
// every other call stays readable for the first shells.
bool CTrayIcon::ShowBalloon(LPCSTR lpszTitle, LPCSTR lpszText) {
    if (!m_bEnabled || m_bHidden || LOBYTE(LOWORD(GetVersion())) < 5)
        return false;
    NOTIFYICONDATAA balloon = {};
    balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    balloon.hWnd = m_nid.hWnd;
    balloon.uID = m_nid.uID;
    balloon.uFlags = NIF_INFO;
    lstrcpynA(balloon.szInfoTitle, lpszTitle, sizeof balloon.szInfoTitle);
    lstrcpynA(balloon.szInfo, lpszText, sizeof balloon.szInfo);
    balloon.dwInfoFlags = NIIF_WARNING;
    return m_pfnShellNotify(NIM_MODIFY, &balloon) != FALSE;
}

bool CTrayIcon::SetTooltipText(LPCSTR lpszTip) {
    CopyTip(lpszTip);
    if (!m_bEnabled)
        return false;
    return Notify(NIM_MODIFY, NIF_TIP);
}

LRESULT CTrayIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
    if (wParam != m_nid.uID)
        return 0;
    const UINT uMouseMessage = LOWORD(lParam);
    if (uMouseMessage != WM_RBUTTONUP && uMouseMessage != WM_LBUTTONDBLCLK)
        return 1;

    const fw::ScopedMenu menu(
        LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(LOWORD(m_nid.uID))));
    if (!menu.Get())
        return 0;
    const HMENU hPopup = GetSubMenu(menu.Get(), 0);
    if (!hPopup)
        return 0;
    return uMouseMessage == WM_RBUTTONUP ? ShowPopupMenu(hPopup) : RunDefaultItem(hPopup);
}

bool CTrayIcon::Notify(DWORD dwMessage, UINT uFlags) {
    m_nid.uFlags = uFlags;
    return m_pfnShellNotify(dwMessage, &m_nid) != FALSE;
}

// Longer texts are cut to what the shell's record holds.
void CTrayIcon::CopyTip(LPCSTR lpszTip) {
    lstrcpynA(m_nid.szTip, lpszTip ? lpszTip : "", TIP_CAPACITY);
}

LRESULT CTrayIcon::ShowPopupMenu(HMENU hPopup) {
    SetMenuDefaultItem(hPopup, 0, TRUE);
    POINT ptCursor = {};
    GetCursorPos(&ptCursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(m_nid.hWnd);
    TrackPopupMenu(hPopup, 0, ptCursor.x, ptCursor.y, 0, m_nid.hWnd, nullptr);
    // A message after the menu makes the switch of tasks complete, so that the menu closes
    // properly the next time too.
    PostMessageA(m_nid.hWnd, WM_USER, 0, 0);
    return 1;
}

LRESULT CTrayIcon::RunDefaultItem(HMENU hPopup) {
    SetForegroundWindow(m_nid.hWnd);
    SendMessageA(m_nid.hWnd, WM_COMMAND, GetMenuItemID(hPopup, 0), 0);
    return 1;
}
