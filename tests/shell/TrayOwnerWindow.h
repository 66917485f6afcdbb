#pragma once
// A hidden window that owns a tray icon in tests: it passes WM_TRAY_NOTIFY to the icon, records
// the commands and messages it receives, and plays the user's part in an open popup menu.
#include "shell/AppMessages.h"
#include "shell/CTrayIcon.h"
#include "support/TestWindow.h"

#include <windows.h>

#include <string>
#include <vector>

struct MenuItemSeen {
    UINT id;
    std::string text;
    UINT state;
};

class TrayOwnerWindow : public TestWindow {
public:
    TrayOwnerWindow() {
        Create("TarvoloTrayOwnerTest", "Tarvolo-Test", WS_OVERLAPPEDWINDOW, nullptr, 100);
    }

    void Attach(CTrayIcon* tray) { m_tray = tray; }

    // Keys the window posts to an open menu once it is idle, as a user would type them.
    void PlanMenuKeys(std::vector<UINT> keys) { m_menuKeys = std::move(keys); }
    // Items the window greys when the menu is prepared, as the frame does for a busy command.
    void GreyWhenPrepared(UINT id) { m_greyed.push_back(id); }

    std::vector<UINT> commands;     // ids of WM_COMMAND in order
    std::vector<UINT> userMessages; // WM_USER and other private messages in order
    std::vector<MenuItemSeen> menuShown;
    int defaultItemShown = -1;
    int menusShown = 0;

private:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
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

    CTrayIcon* m_tray = nullptr;
    std::vector<UINT> m_menuKeys;
    std::vector<UINT> m_greyed;
};
