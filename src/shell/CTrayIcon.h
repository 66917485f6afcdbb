#pragma once
// The program's icon in the notification area: adds, changes, hides, shows and removes it, and
// turns the shell's mouse callbacks into the two gestures, the popup menu (right button) and the
// menu's first item (double click). An icon the shell did not take is offered again by a timer of
// the owner window, every second for two minutes, and so is one that a new taskbar does not take.
#include <windows.h>

#include <shellapi.h>

class CTrayIcon {
public:
    // The shell call, replaceable so that a test can watch what reaches the shell.
    using ShellNotifyProc = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);

    // The owner window's timer of the offers; its WM_TIMER goes to OnTimer.
    static constexpr UINT_PTR IDT_RETRY = 13;

    explicit CTrayIcon(ShellNotifyProc shellNotify = &::Shell_NotifyIconA);
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // uID is the icon's id and also the resource id of its popup menu. false when the shell did
    // not take the icon: at logon its notification area may not be there yet, or the call timed
    // out under load; the icon is then set up for RetryAdd, and the offers begin.
    bool Create(HWND hWnd, UINT uCallbackMessage, LPCSTR lpszTip, HICON hIcon, UINT uID);
    // Whether Create set the icon up, added or not.
    bool IsSetUp() const { return m_bSetUp; }
    // Hands an icon that the shell did not take to it once more, as it is now: a modification
    // first, since an add that timed out may have arrived, then an add. Whether it is shown; once
    // it is, the offers end.
    bool RetryAdd();
    // The owner window's WM_TIMER: true when it was the offers' timer.
    bool OnTimer(UINT_PTR nIDEvent);
    // A new taskbar ("TaskbarCreated") knows nothing of the icon: it is added again as it is now.
    // Whether it is shown; one the shell does not take is offered again as at the start.
    bool AddToNewTaskbar();
    void RemoveIcon();
    bool HideIcon();
    bool ShowIcon();
    bool SetIcon(HICON hIcon);
    HICON GetIcon() const;
    // Whether the icon was added to the notification area. Until then the icon, the tooltip and
    // hiding are only noted for the add.
    bool IsEnabled() const { return m_bEnabled; }
    bool SetTooltipText(LPCSTR lpszTip);
    // A balloon with the warning icon above the icon (Windows 2000 and later). false where the
    // icon is not shown or the shell has no balloons.
    bool ShowBalloon(LPCSTR lpszTitle, LPCSTR lpszText);

    // wParam and lParam of the callback message; 0 when the message is not this icon's or its
    // menu is missing, else 1.
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);

private:
    bool Notify(DWORD dwMessage, UINT uFlags);
    void CopyTip(LPCSTR lpszTip);
    LRESULT ShowPopupMenu(HMENU hPopup);
    LRESULT RunDefaultItem(HMENU hPopup);
    void StartRetries();
    void StopRetries();

    bool m_bEnabled = false;
    bool m_bHidden = false;
    bool m_bSetUp = false;
    bool m_bRetrying = false;
    int m_nRetries = 0;
    NOTIFYICONDATAA m_nid; // handed to the shell in its first, 88-byte form
    ShellNotifyProc m_pfnShellNotify;
};
