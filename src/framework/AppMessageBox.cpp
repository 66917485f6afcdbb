#include "framework/AppMessageBox.h"

#include <windows.h>

#include <utility>

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

} // namespace

int AppMessageBox(const std::string& text, unsigned style) {
    return AppMessageBox(nullptr, text, style);
}

int AppMessageBox(void* owner, const std::string& text, unsigned style) {
    if (Handler())
        return Handler()(text, style);
    return MessageBoxA(static_cast<HWND>(owner), text.c_str(), Title().c_str(), style);
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
