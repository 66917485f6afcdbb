#pragma once
// The program's icon in the notification area: adds, changes, hides, shows and removes it, and
// turns the shell's mouse callbacks into the two gestures, the popup menu (right button) and the
// menu's first item (double click).
#include <windows.h>

#include <shellapi.h>

class CTrayIcon {
public:
    // The shell call, replaceable so that a test can watch what reaches the shell.
    using ShellNotifyProc = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);

    explicit CTrayIcon(ShellNotifyProc shellNotify = &::Shell_NotifyIconA);
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // uID is the icon's id and also the resource id of its popup menu.
    BOOL Create(HWND hWnd, UINT uCallbackMessage, LPCSTR lpszTip, HICON hIcon, UINT uID);
    void RemoveIcon();
    BOOL HideIcon();
    BOOL ShowIcon();
    BOOL SetIcon(HICON hIcon);
    HICON GetIcon() const;
    // Whether the icon was added to the notification area.
    BOOL IsEnabled() const { return m_bEnabled; }
    BOOL SetTooltipText(LPCSTR lpszTip);

    // wParam and lParam of the callback message; 0 when the message is not this icon's or its
    // menu is missing, else 1.
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);

private:
    BOOL Notify(DWORD dwMessage, UINT uFlags);
    void CopyTip(LPCSTR lpszTip);
    LRESULT ShowPopupMenu(HMENU hPopup);
    LRESULT RunDefaultItem(HMENU hPopup);

    BOOL m_bEnabled;
    BOOL m_bHidden;
    NOTIFYICONDATAA m_nid; // handed to the shell in its first, 88-byte form
    ShellNotifyProc m_pfnShellNotify;
};
