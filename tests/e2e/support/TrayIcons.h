#pragma once
// The icons in the notification area. Under Xvfb there is no tray of a desktop, so Wine's X11
// driver keeps its own window "Wine System Tray", with one child window per icon; an icon goes
// with the window it belongs to.
#include <windows.h>

#include <vector>

namespace e2e {

std::vector<HWND> TrayIconWindows();

// Polls until exactly count icons are shown.
bool WaitForTrayIconCount(size_t count, DWORD timeoutMs);

} // namespace e2e
