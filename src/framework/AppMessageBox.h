#pragma once
// All message boxes of the program go through here, so that tests can answer them.
#include <functional>
#include <string>

namespace fw {

// Receives the text and the MB_* style of a box and returns the button (IDOK, IDYES, ...).
using MessageBoxHandler = std::function<int(const std::string& text, unsigned style)>;

// Shows text in a message box without owner, with the application title as caption, or hands
// it to the handler installed by a test. Returns the button that closed the box.
int AppMessageBox(const std::string& text, unsigned style = 0 /* MB_OK */);

// The same with an owner window of its own (an HWND), which the box disables while it is up.
int AppMessageBox(void* owner, const std::string& text, unsigned style);

// Closes the boxes that are up, unanswered: each returns IDCANCEL to the code that asked, which
// must take it as "do nothing". Returns whether any box was up. The program ends only after
// such a box has returned, since the code that asked runs on with the objects it was called on.
bool CloseOpenMessageBoxes();

// Installs a handler in place of the real box; an empty handler restores the real box.
// Returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The caption of every box; "Tarvolo" unless the application sets another.
const std::string& AppTitle();
void SetAppTitle(const std::string& title);

} // namespace fw
