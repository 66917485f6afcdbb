#pragma once
// Private window messages between the frame, the tray icon, the options sheet and the watcher.
#include "ui/OptionsNotify.h"

#include <windows.h>

#define WM_TRAY_NOTIFY (WM_USER + 10)         // tray icon callback
// WM_OPTIONS_NOTIFY (WM_USER + 11) comes from the options sheet (ui/OptionsNotify.h).
#define WM_CONNECTIONS_CHANGED (WM_USER + 12) // the watcher reports a new connection count
#define WM_POWER_EVENT (WM_USER + 13)         // a WM_POWERBROADCAST, handled once nothing runs
