#pragma once
// A message box of a program under test, found by its caption, read and answered the way a
// user's click would answer it.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

class MessageBoxWindow {
public:
    explicit MessageBoxWindow(HWND hWnd) : m_hWnd(hWnd) {}

    // Polls for a box of the process with the caption; none when none came in time.
    static std::optional<MessageBoxWindow> WaitFor(DWORD processId, DWORD timeoutMs,
                                                   const std::string& caption = "Tarvolo");
    // The boxes of the process with the caption that are open now.
    static std::vector<MessageBoxWindow> FindAll(DWORD processId,
                                                 const std::string& caption = "Tarvolo");

    HWND Handle() const { return m_hWnd; }
    std::string Caption() const;
    // The message (text of the box's text control), in the ANSI bytes of the box.
    std::string Text() const;
    // Ids of the box's buttons (IDOK, IDYES, IDNO, ...), in the order of their windows.
    std::vector<int> Buttons() const;
    std::string ButtonText(int id) const;
    // Whether the box shows an icon (question, stop, ...).
    bool HasIcon() const;

    // Clicks the button with the id; false when the box has no such button.
    bool Press(int id) const;
    // Waits until the box has gone.
    bool WaitUntilClosed(DWORD timeoutMs) const;

private:
    HWND m_hWnd;
};

} // namespace e2e
