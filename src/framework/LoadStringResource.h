#pragma once
// Texts of the program's string table, in the bytes of Windows-1252 as the resource script holds
// them, whatever the code page of the machine.
#include <string>

namespace fw {

// The string with the given id from the program's own resources; empty when there is none.
std::string LoadStringResource(unsigned id);

// Like LoadStringResource, but says whether the table holds the string at all.
bool TryLoadStringResource(unsigned id, std::string& text);

} // namespace fw
