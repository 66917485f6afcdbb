#include "SheetDriver.h"

#include "RecordingWindow.h"

#include <commctrl.h>

#include <algorithm>

namespace sheet {

HWND OwnButton(HWND hSheet, int nID) {
    HWND hFound = nullptr;
    for (HWND h = GetWindow(hSheet, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (GetDlgCtrlID(h) == nID)
            hFound = h;
    return hFound;
}

HWND PageControl(HWND hSheet, int nID) {
    return GetDlgItem(PropSheet_GetCurrentPageHwnd(hSheet), nID);
}

std::vector<HWND> PageControls(HWND hSheet) {
    std::vector<HWND> controls;
    for (HWND h = GetWindow(PropSheet_GetCurrentPageHwnd(hSheet), GW_CHILD); h;
         h = GetWindow(h, GW_HWNDNEXT))
        controls.push_back(h);
    return controls;
}

void Click(HWND hButton) {
    SendMessageA(hButton, BM_CLICK, 0, 0);
    PumpMessages();
}

void ClickTab(HWND hSheet, int nPage) {
    HWND hTab = PropSheet_GetTabControl(hSheet);
    RECT rc;
    TabCtrl_GetItemRect(hTab, nPage, &rc);
    LPARAM point = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageA(hTab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(hTab, WM_LBUTTONUP, 0, point);
    PumpMessages();
}

int ActivePage(HWND hSheet) {
    return TabCtrl_GetCurSel(PropSheet_GetTabControl(hSheet));
}

bool IsChecked(HWND hSheet, int nID) {
    return SendMessageA(PageControl(hSheet, nID), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string Text(HWND hwnd) {
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

RECT ClientRect(HWND hSheet, HWND hChild) {
    RECT rc;
    GetWindowRect(hChild, &rc);
    MapWindowPoints(nullptr, hSheet, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::vector<HWND> ButtonRow(HWND hSheet) {
    RECT rcTab = ClientRect(hSheet, PropSheet_GetTabControl(hSheet));
    std::vector<HWND> row;
    for (HWND h = GetWindow(hSheet, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (IsWindowVisible(h) && ClientRect(hSheet, h).top > rcTab.bottom)
            row.push_back(h);
    std::sort(row.begin(), row.end(), [hSheet](HWND a, HWND b) {
        return ClientRect(hSheet, a).left < ClientRect(hSheet, b).left;
    });
    return row;
}

} // namespace sheet
