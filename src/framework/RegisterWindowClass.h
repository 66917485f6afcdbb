#pragma once
// Window class registration that tolerates a class this process has registered before.
#include <windows.h>

namespace fw {

// Registers the class; also succeeds when a class of that name is already registered for the
// same instance (a second registration is no error for the caller).
bool RegisterWindowClass(const WNDCLASSA& windowClass);

// The framework's own class for frame windows, registered on first use: its name.
const char* FrameWindowClassName();

} // namespace fw
