#include "MessageBoxWindow.h"

#include "WindowSearch.h"

namespace e2e {
namespace {

constexpr char kDialogClass[] = "#32770";

BOOL CALLBACK CollectChild(HWND child, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool IsStaticOfType(HWND hWnd, bool icon) {
    if (lstrcmpiA(WindowClass(hWnd).c_str(), "Static") != 0)
        return false;
    const bool isIcon = (GetWindowLongA(hWnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    return isIcon == icon;
}

bool IsButton(HWND hWnd) {
    return lstrcmpiA(WindowClass(hWnd).c_str(), "Button") == 0;
}

} // namespace

std::vector<MessageBoxWindow> MessageBoxWindow::FindAll(DWORD processId,
                                                        const std::string& caption) {
    std::vector<MessageBoxWindow> boxes;
    for (HWND hWnd : FindTopLevelWindows({kDialogClass, caption, processId}))
        if (IsWindowVisible(hWnd))
            boxes.emplace_back(hWnd);
    return boxes;
}

std::optional<MessageBoxWindow> MessageBoxWindow::WaitFor(DWORD processId, DWORD timeoutMs,
                                                          const std::string& caption) {
    std::optional<MessageBoxWindow> box;
    WaitUntil(
        [&] {
            auto boxes = FindAll(processId, caption);
            if (!boxes.empty())
                box = boxes.front();
            return box.has_value();
        },
        timeoutMs);
    return box;
}

std::string MessageBoxWindow::Caption() const {
    return WindowText(m_hWnd);
}

std::string MessageBoxWindow::Text() const {
    for (HWND child : Children(m_hWnd))
        if (IsStaticOfType(child, false))
            return WindowText(child);
    return {};
}

std::vector<int> MessageBoxWindow::Buttons() const {
    std::vector<int> ids;
    for (HWND child : Children(m_hWnd))
        if (IsButton(child) && IsWindowVisible(child))
            ids.push_back(GetDlgCtrlID(child));
    return ids;
}

std::string MessageBoxWindow::ButtonText(int id) const {
    HWND button = GetDlgItem(m_hWnd, id);
    return button ? WindowText(button) : std::string();
}

// The box keeps its icon control also without an icon; only the icon it holds tells.
bool MessageBoxWindow::HasIcon() const {
    for (HWND child : Children(m_hWnd)) {
        DWORD_PTR icon = 0;
        if (IsStaticOfType(child, true) &&
            SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon) && icon)
            return true;
    }
    return false;
}

bool MessageBoxWindow::Press(int id) const {
    HWND button = GetDlgItem(m_hWnd, id);
    if (!button || !IsButton(button))
        return false;
    return PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
}

bool MessageBoxWindow::WaitUntilClosed(DWORD timeoutMs) const {
    return WaitUntil([&] { return !IsWindow(m_hWnd); }, timeoutMs);
}

} // namespace e2e
