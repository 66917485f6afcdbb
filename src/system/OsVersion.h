#pragma once
// The platform version record, filled once during static initialisation, and the platform
// predicates over it that choose the byte counter back end and guard the first dial-up calls.
#include <windows.h>

// The extended (156-byte) version record of the running system; all zero when the system
// would not tell.
extern OSVERSIONINFOEXA g_osvi;

using GetVersionFn = BOOL(WINAPI*)(LPOSVERSIONINFOA lpVersionInformation);

// Asks for the extended record, then for the basic (148-byte) one, else zeroes it all.
void QueryOsVersion(OSVERSIONINFOEXA& osvi, GetVersionFn pfnGetVersion = GetVersionExA);

const DWORD PLATFORM_WIN9X = 1; // VER_PLATFORM_WIN32_WINDOWS: Windows 95, 98, Me
const DWORD PLATFORM_NT = 2;    // VER_PLATFORM_WIN32_NT

BOOL IsWin9xFamily(const OSVERSIONINFOEXA& osvi = g_osvi);
BOOL IsNtFamily(const OSVERSIONINFOEXA& osvi = g_osvi);
// Windows 98 and later of the 9x family: above version 4.0.
BOOL IsWin98OrLater(const OSVERSIONINFOEXA& osvi = g_osvi);
// The 9x family at version 4.0, which may lack the dial-up library or some of its functions.
BOOL IsWin95(const OSVERSIONINFOEXA& osvi = g_osvi);
