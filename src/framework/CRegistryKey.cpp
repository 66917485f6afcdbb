#include "framework/CRegistryKey.h"

#include "framework/CRegistryValue.h"
#include "framework/ScopedHandles.h"

#include <vector>

namespace {

const REGSAM DELETE_ACCESS = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

bool IsEmpty(const char* text) {
    return !text || !*text;
}

} // namespace

BOOL CRegistryKey::ReadValue(const char* subkey, const char* name, CRegistryValue& value) const {
    fw::ScopedRegKey key;
    if (RegOpenKeyExA(m_hRoot, subkey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    DWORD dwType = 0;
    DWORD cb = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &dwType, nullptr, &cb) != ERROR_SUCCESS)
        return FALSE;
    BYTE* block = value.Allocate(cb);
    if (!block && cb != 0) {
        value.FreeData();
        return FALSE;
    }
    if (RegQueryValueExA(key.Get(), name, nullptr, &dwType, block, &cb) != ERROR_SUCCESS) {
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
    fw::ScopedRegKey key;
    if (RegCreateKeyExA(m_hRoot, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return FALSE;
    return RegSetValueExA(key.Get(), name, 0, value.GetType(), value.GetData(), value.GetSize()) ==
           ERROR_SUCCESS;
}

BOOL CRegistryKey::WriteString(const char* subkey, const char* name, const char* text) const {
    const CRegistryValue value(text);
    return WriteValue(subkey, name, value);
}

BOOL CRegistryKey::DeleteEntry(const char* subkey, const char* name) const {
    if (!name)
        return IsEmpty(subkey) ? FALSE : DeleteKeyTree(m_hRoot, subkey);
    fw::ScopedRegKey key;
    if (RegOpenKeyExA(m_hRoot, subkey, 0, DELETE_ACCESS, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    return RegDeleteValueA(key.Get(), name) == ERROR_SUCCESS;
}

// Depth first, always emptying the key by its child at index 0, so that the enumeration never
// has to cope with a list that shrinks under it.
BOOL CRegistryKey::DeleteKeyTree(HKEY hParent, const char* subkey) {
    {
        fw::ScopedRegKey key;
        if (RegOpenKeyExA(hParent, subkey, 0, DELETE_ACCESS, key.Receive()) != ERROR_SUCCESS)
            return FALSE;
        for (;;) {
            DWORD cSubKeys = 0;
            DWORD cchLongest = 0;
            if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &cSubKeys, &cchLongest,
                                 nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr) != ERROR_SUCCESS)
                return FALSE;
            if (cSubKeys == 0)
                break;
            std::vector<char> child(cchLongest + 1, '\0');
            if (RegEnumKeyA(key.Get(), 0, child.data(), static_cast<DWORD>(child.size())) !=
                ERROR_SUCCESS)
                return FALSE;
            if (!DeleteKeyTree(key.Get(), child.data()))
                return FALSE;
        }
    }
    return RegDeleteKeyA(hParent, subkey) == ERROR_SUCCESS;
}
