#pragma once
// Private window messages between the frame, the tray icon, the options sheet and the watcher.
#include <windows.h>

#define WM_TRAY_NOTIFY (WM_USER + 10)         // tray icon callback
#define WM_OPTIONS_NOTIFY (WM_USER + 11)      // the options sheet reports OK, Apply or Cancel
#define WM_CONNECTIONS_CHANGED (WM_USER + 12) // the watcher reports a new connection count
