#include "framework/CRegistryKey.h"

#include "framework/CRegKey.h"
#include "framework/CRegistryValue.h"

#include <vector>

namespace {

const REGSAM DELETE_ACCESS = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

bool IsEmpty(const char* text) {
    return !text || !*text;
}

} // namespace

BOOL CRegistryKey::ReadValue(const char* subkey, const char* name, CRegistryValue& value) const {
    fw::CRegKey key;
    DWORD dwType = 0;
    DWORD cb = 0;
    if (key.Open(m_hRoot, subkey, KEY_READ) != ERROR_SUCCESS ||
        key.QueryValue(name, dwType, nullptr, cb) != ERROR_SUCCESS)
        return FALSE;
    BYTE* block = value.Allocate(cb);
    if (!block && cb != 0) {
        value.FreeData();
        return FALSE;
    }
    if (key.QueryValue(name, dwType, block, cb) != ERROR_SUCCESS) {
        value.FreeData();
        return FALSE;
    }
    value.SetType(dwType);
    return TRUE;
}

BOOL CRegistryKey::ReadBinary(const char* subkey, const char* name, void* buffer, DWORD cb) const {
    CRegistryValue value;
    return ReadValue(subkey, name, value) && value.GetBinary(buffer, cb);
}

BOOL CRegistryKey::ReadString(const char* subkey, const char* name, std::string& text) const {
    CRegistryValue value;
    return ReadValue(subkey, name, value) && value.GetString(text);
}

BOOL CRegistryKey::WriteValue(const char* subkey, const char* name,
                              const CRegistryValue& value) const {
    fw::CRegKey key;
    return key.Create(m_hRoot, subkey, KEY_WRITE) == ERROR_SUCCESS &&
           key.SetValue(name, value.GetType(), value.GetData(), value.GetSize()) == ERROR_SUCCESS;
}

BOOL CRegistryKey::WriteString(const char* subkey, const char* name, const char* text) const {
    const CRegistryValue value(text);
    return WriteValue(subkey, name, value);
}

BOOL CRegistryKey::DeleteEntry(const char* subkey, const char* name) const {
    if (!name)
        return !IsEmpty(subkey) && DeleteKeyTree(m_hRoot, subkey);
    fw::CRegKey key;
    return key.Open(m_hRoot, subkey, DELETE_ACCESS) == ERROR_SUCCESS &&
           key.DeleteValue(name) == ERROR_SUCCESS;
}

// Depth first, always emptying the key by its child at index 0, so that the enumeration never
// has to cope with a list that shrinks under it.
bool CRegistryKey::DeleteKeyTree(HKEY hParent, const char* subkey) {
    {
        fw::CRegKey key;
        if (key.Open(hParent, subkey, DELETE_ACCESS) != ERROR_SUCCESS)
            return false;
        for (;;) {
            DWORD cSubKeys = 0;
            DWORD cchLongest = 0;
            if (key.QuerySubKeys(cSubKeys, cchLongest) != ERROR_SUCCESS)
                return false;
            if (cSubKeys == 0)
                break;
            std::vector<char> child(cchLongest + 1, '\0');
            if (key.EnumSubKey(0, child.data(), static_cast<DWORD>(child.size())) !=
                    ERROR_SUCCESS ||
                !DeleteKeyTree(key.Get(), child.data()))
                return false;
        }
    }
    return fw::CRegKey::DeleteSubKey(hParent, subkey) == ERROR_SUCCESS;
}
