#include "TrayIcons.h"

#include "WindowSearch.h"

namespace e2e {

std::vector<HWND> TrayIconWindows() {
    std::vector<HWND> icons;
    for (HWND tray : FindTopLevelWindows({"__winex11_standalone_tray", "", 0}))
        for (HWND child = GetWindow(tray, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (WindowClass(child) == "__winex11_tray_icon" && IsWindowVisible(child))
                icons.push_back(child);
    return icons;
}

bool WaitForTrayIconCount(size_t count, DWORD timeoutMs) {
    return WaitUntil([&] { return TrayIconWindows().size() == count; }, timeoutMs);
}

} // namespace e2e
