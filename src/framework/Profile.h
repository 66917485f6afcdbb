#pragma once
// The application's settings in the user's registry: HKEY_CURRENT_USER\software\<registry key>
// \<profile name>, with one subkey per section (an empty section is the application's key).
#include <string>
#include <vector>

namespace fw {

// Both are set once at start-up, before any profile value is read or written.
void SetRegistryKey(const std::string& registryKey);
void SetProfileName(const std::string& profileName);

// The path of the application's key below HKEY_CURRENT_USER; empty while no registry key is set.
std::string GetAppRegistryPath();

// Reads a REG_BINARY value. False, with data untouched, when the key or value is missing,
// the value has another type, or no registry key is set.
bool GetProfileBinary(const std::string& section, const std::string& entry,
                      std::vector<unsigned char>& data);

// Reads a REG_DWORD value; nDefault when the key or value is missing, the value has another
// type, or no registry key is set.
unsigned long GetProfileDword(const std::string& section, const std::string& entry,
                              unsigned long nDefault);

// Writes value as a REG_DWORD value, creating the keys on the way; where value is nDefault, deletes
// the value instead (a missing one is no failure), so that a setting left at its default leaves
// nothing behind and GetProfileDword with the same default reads it back.
bool WriteProfileDword(const std::string& section, const std::string& entry, unsigned long value,
                       unsigned long nDefault);

// Writes a REG_BINARY value, creating the keys on the way.
bool WriteProfileBinary(const std::string& section, const std::string& entry, const void* data,
                        unsigned size);

// The text functions are not called GetProfileString and WriteProfileString: windows.h makes
// those names macros, which would rename them in some files and not in others.

// Reads a REG_SZ value, up to its first NUL (a value stored without one is read whole). False,
// with text untouched, when the key or value is missing, the value has another type, or no
// registry key is set.
bool GetProfileText(const std::string& section, const std::string& entry, std::string& text);

// Writes text as a REG_SZ value, creating the keys on the way; an empty text deletes the value
// instead, so that a setting left empty leaves nothing behind.
bool WriteProfileText(const std::string& section, const std::string& entry,
                      const std::string& text);

// Deletes a value; a missing key or value is no failure, as the value is gone either way.
bool DeleteProfileValue(const std::string& section, const std::string& entry);

} // namespace fw
