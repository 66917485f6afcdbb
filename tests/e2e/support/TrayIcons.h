#pragma once
// The icons in the notification area. Under Xvfb there is no tray of a desktop, so Wine's X11
// driver keeps its own window "Wine System Tray", with one child window per icon; an icon goes
// with the window it belongs to.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

std::vector<HWND> TrayIconWindows();

// Polls until exactly count icons are shown.
bool WaitForTrayIconCount(size_t count, DWORD timeoutMs);

// The texts of the balloons shown at the icons. Wine's tray shows a balloon two seconds after it
// was asked for, as a tooltip window of the balloon style, whose text is the balloon's text (the
// title is drawn apart), and takes it away with its icon.
std::vector<std::string> BalloonTexts();
constexpr DWORD BALLOON_DELAY_MS = 2000;

} // namespace e2e
