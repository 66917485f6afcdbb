#pragma once
// Finding the top-level windows of the programs under test, also hidden ones, and reading them.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// What a window must match; empty fields and a process id of 0 match anything.
struct WindowQuery {
    std::string className;
    std::string title;
    DWORD processId = 0;
};

std::vector<HWND> FindTopLevelWindows(const WindowQuery& query);

// Polls until a matching window exists; none when the time has run out.
HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs);

// Polls until no matching window is left; false when one is still there at the end.
bool WaitForNoWindow(const WindowQuery& query, DWORD timeoutMs);

std::string WindowText(HWND hWnd);
std::string WindowClass(HWND hWnd);
DWORD WindowProcessId(HWND hWnd);

// Polls a condition every 50 ms until it holds or the time has run out; its last result.
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return condition();
        Sleep(50);
    }
}

} // namespace e2e
