#pragma once
// A hidden window that owns a tray icon in tests: it passes WM_TRAY_NOTIFY to the icon, records
// the commands and messages it receives, and plays the user's part in an open popup menu.
#include "shell/AppMessages.h"
#include "shell/TrayIcon.h"

#include <windows.h>

#include <string>
#include <vector>

struct MenuItemSeen {
    UINT id;
    std::string text;
    UINT state;
};

class TrayOwnerWindow {
public:
    TrayOwnerWindow() {
        static const char* className = RegisterOnce();
        m_hWnd = CreateWindowExA(0, className, "Tarvolo-Test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), this);
    }
    ~TrayOwnerWindow() {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }
    TrayOwnerWindow(const TrayOwnerWindow&) = delete;
    TrayOwnerWindow& operator=(const TrayOwnerWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    void Attach(CTrayIcon* tray) { m_tray = tray; }

    // Keys the window posts to an open menu once it is idle, as a user would type them.
    void PlanMenuKeys(std::vector<UINT> keys) { m_menuKeys = std::move(keys); }
    // Items the window greys when the menu is prepared, as the frame does for a busy command.
    void GreyWhenPrepared(UINT id) { m_greyed.push_back(id); }

    // Handles what is queued for this thread, so posted commands arrive.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    std::vector<UINT> commands;     // ids of WM_COMMAND in order
    std::vector<UINT> userMessages; // WM_USER and other private messages in order
    std::vector<MenuItemSeen> menuShown;
    int defaultItemShown = -1;
    int menusShown = 0;

private:
    static const char* RegisterOnce() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TarvoloTrayOwnerTest";
        RegisterClassA(&wc);
        return wc.lpszClassName;
    }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(hWnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TrayOwnerWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (self) {
            LRESULT result = 0;
            if (self->Handle(msg, wParam, lParam, result))
                return result;
        }
        return DefWindowProcA(hWnd, msg, wParam, lParam);
    }

    bool Handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        switch (msg) {
        case WM_TRAY_NOTIFY:
            result = m_tray ? m_tray->OnTrayNotification(wParam, lParam) : 0;
            return true;
        case WM_COMMAND:
            commands.push_back(LOWORD(wParam));
            return true;
        case WM_INITMENUPOPUP:
            RecordMenu(reinterpret_cast<HMENU>(wParam));
            return true;
        case WM_ENTERIDLE:
            if (wParam == MSGF_MENU)
                TypeIntoMenu(reinterpret_cast<HWND>(lParam));
            return true;
        default:
            if (msg >= WM_USER && msg < 0x8000) {
                userMessages.push_back(msg);
                return true;
            }
            return false;
        }
    }

    void RecordMenu(HMENU hMenu) {
        ++menusShown;
        for (UINT id : m_greyed)
            EnableMenuItem(hMenu, id, MF_BYCOMMAND | MF_GRAYED);
        menuShown.clear();
        for (int i = 0; i < GetMenuItemCount(hMenu); ++i) {
            char text[64] = "";
            GetMenuStringA(hMenu, i, text, sizeof text, MF_BYPOSITION);
            menuShown.push_back(
                {GetMenuItemID(hMenu, i), text, GetMenuState(hMenu, i, MF_BYPOSITION)});
        }
        defaultItemShown = static_cast<int>(GetMenuDefaultItem(hMenu, TRUE, 0));
    }

    void TypeIntoMenu(HWND hMenuWindow) {
        if (m_menuKeys.empty()) {
            EndMenu(); // a user who looks and clicks elsewhere
            return;
        }
        for (UINT key : m_menuKeys) {
            PostMessageA(hMenuWindow, WM_KEYDOWN, key, 0);
            PostMessageA(hMenuWindow, WM_KEYUP, key, 0xC0000000);
        }
        m_menuKeys.clear();
    }

    HWND m_hWnd = nullptr;
    CTrayIcon* m_tray = nullptr;
    std::vector<UINT> m_menuKeys;
    std::vector<UINT> m_greyed;
};
