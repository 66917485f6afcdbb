#pragma once
// Loads a string of the program's string table as text.
#include <windows.h>

#include <string>

// FALSE when the program has no such string.
BOOL LoadStringResource(UINT nId, std::string& text);
