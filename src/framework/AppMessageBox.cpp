#include "framework/AppMessageBox.h"

#include "framework/CDeferredMessageBoxes.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace fw {
namespace {

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

std::string& Title() {
    static std::string title = "Tarvolo";
    return title;
}

// The boxes that are up, the innermost last. Boxes are shown on the user-interface thread.
std::vector<HWND>& OpenBoxes() {
    static std::vector<HWND> boxes;
    return boxes;
}

bool g_bAwaitingBox = false;

// The dialog window that MessageBoxA creates is the box being shown.
LRESULT CALLBACK NoteNewBox(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && g_bAwaitingBox) {
        const HWND hWnd = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(hWnd, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0) {
            OpenBoxes().push_back(hWnd);
            g_bAwaitingBox = false;
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

// Keeps the box in the list of open ones while it is up.
class OpenBox {
public:
    OpenBox()
        : m_hHook(SetWindowsHookExA(WH_CBT, &NoteNewBox, nullptr, GetCurrentThreadId())),
          m_nOpenBefore(OpenBoxes().size()) {
        g_bAwaitingBox = true;
    }
    ~OpenBox() {
        g_bAwaitingBox = false;
        if (m_hHook)
            UnhookWindowsHookEx(m_hHook);
        OpenBoxes().resize(std::min(OpenBoxes().size(), m_nOpenBefore));
    }
    OpenBox(const OpenBox&) = delete;
    OpenBox& operator=(const OpenBox&) = delete;

private:
    HHOOK m_hHook;
    std::size_t m_nOpenBefore;
};

} // namespace

int AppMessageBox(const std::string& text, unsigned style) {
    return AppMessageBox(nullptr, text, style);
}

int AppMessageBox(void* owner, const std::string& text, unsigned style) {
    if (CDeferredMessageBoxes::KeepIfDeferred(text, style))
        return IDOK;
    if (Handler())
        return Handler()(text, style);
    OpenBox open;
    return MessageBoxA(static_cast<HWND>(owner), text.c_str(), Title().c_str(), style);
}

bool CloseOpenMessageBoxes() {
    bool bAnyOpen = false;
    for (const HWND hBox : OpenBoxes()) {
        if (IsWindow(hBox)) {
            EndDialog(hBox, IDCANCEL);
            bAnyOpen = true;
        }
    }
    return bAnyOpen;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

const std::string& AppTitle() {
    return Title();
}

void SetAppTitle(const std::string& title) {
    Title() = title;
}

} // namespace fw
