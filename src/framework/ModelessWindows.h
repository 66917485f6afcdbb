#pragma once
// Modeless dialogs and property sheets get their keyboard navigation (Tab, Enter, Escape,
// mnemonics) only when the message loop hands them their messages first. Each registers its
// window here with the function that does so.
#include <windows.h>

#include <functional>

namespace fw {

// Gets a message for the window or one of its children; true when it has handled it.
using ModelessMessageFilter = std::function<bool(HWND window, MSG& msg)>;

// Registers a window of this thread; a second registration replaces the filter. Entries of
// windows that have been destroyed are dropped by themselves.
void AddModelessWindow(HWND window, ModelessMessageFilter filter);
void RemoveModelessWindow(HWND window);

// Offers the message to the filter of the registered window it is meant for (the window
// itself or one of its descendants); true when that filter handled it.
bool FilterModelessMessage(MSG& msg);

} // namespace fw
