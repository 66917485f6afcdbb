#pragma once
// Reading and clearing the registry values a program under test leaves behind (the settings
// record, the autostart value). The tests run in a Wine prefix of their own.
#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

// The value's data as bytes (text values with their closing NUL), or none when it is missing.
std::optional<std::string> ReadRegistryValue(HKEY root, const std::string& key,
                                             const std::string& name);
bool WriteRegistryString(HKEY root, const std::string& key, const std::string& name,
                         const std::string& text);
bool WriteRegistryDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
// Deletes the value; true also when it was not there.
bool DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name);

} // namespace e2e
