#include "TrayIcons.h"

#include "WindowSearch.h"

#include <commctrl.h>

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

std::vector<std::string> BalloonTexts() {
    std::vector<std::string> texts;
    for (HWND tip : FindTopLevelWindows({TOOLTIPS_CLASSA, "", 0})) {
        if (!(GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON) || !IsWindowVisible(tip))
            continue;
        // The tooltip's text is its tool's, which only a message to it tells.
        char text[512] = {};
        DWORD_PTR length = 0;
        if (SendMessageTimeoutA(tip, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                SMTO_ABORTIFHUNG, 1000, &length))
            texts.emplace_back(text, length < sizeof text ? length : 0);
    }
    return texts;
}

} // namespace e2e
