#pragma once
// One-call reads, writes and deletes of registry values below a root key. Every call opens the
// key it needs and closes it again, so no handle outlives a call.
#include <windows.h>

#include <string>

class CRegistryValue;

class CRegistryKey {
public:
    explicit CRegistryKey(HKEY hRoot) : m_hRoot(hRoot) {}
    virtual ~CRegistryKey() = default;

    // Fills value with the type and data read; a failed read leaves value as it was, unless
    // the data itself could not be fetched, which leaves it empty.
    BOOL ReadValue(const char* subkey, const char* name, CRegistryValue& value) const;
    BOOL ReadBinary(const char* subkey, const char* name, void* buffer, DWORD cb) const;
    BOOL ReadString(const char* subkey, const char* name, std::string& text) const;

    // Creates the key and any missing parents.
    BOOL WriteValue(const char* subkey, const char* name, const CRegistryValue& value) const;
    BOOL WriteString(const char* subkey, const char* name, const char* text) const;

    // With a name: deletes that value. Without: deletes the subkey and all its descendants;
    // an empty subkey is refused, as it would name the whole root.
    BOOL DeleteEntry(const char* subkey, const char* name) const;

private:
    static bool DeleteKeyTree(HKEY hParent, const char* subkey);

    HKEY m_hRoot;
};
