#pragma once
// How the options sheet tells the main window that the user pressed OK, Apply or Cancel.
#include <windows.h>

#define WM_OPTIONS_NOTIFY (WM_USER + 11)
