#include "WindowSearch.h"

namespace e2e {
namespace {

bool Matches(HWND hWnd, const WindowQuery& query) {
    if (query.processId && WindowProcessId(hWnd) != query.processId)
        return false;
    if (!query.className.empty() && lstrcmpiA(WindowClass(hWnd).c_str(), query.className.c_str()))
        return false;
    return query.title.empty() || WindowText(hWnd) == query.title;
}

struct Search {
    const WindowQuery* query;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMatch(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (Matches(hWnd, *search->query))
        search->found.push_back(hWnd);
    return TRUE;
}

} // namespace

std::vector<HWND> FindTopLevelWindows(const WindowQuery& query) {
    Search search{&query, {}};
    EnumWindows(CollectMatch, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            auto windows = FindTopLevelWindows(query);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool WaitForNoWindow(const WindowQuery& query, DWORD timeoutMs) {
    return WaitUntil([&] { return FindTopLevelWindows(query).empty(); }, timeoutMs);
}

// For a window of another process GetWindowTextA reads the stored text without sending the
// window a message, so a busy program cannot hang the test here.
std::string WindowText(HWND hWnd) {
    char text[1024] = {};
    const int length = GetWindowTextA(hWnd, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string WindowClass(HWND hWnd) {
    char name[256] = {};
    const int length = GetClassNameA(hWnd, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

DWORD WindowProcessId(HWND hWnd) {
    DWORD processId = 0;
    GetWindowThreadProcessId(hWnd, &processId);
    return processId;
}

} // namespace e2e
