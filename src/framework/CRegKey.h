#pragma once
// The one owner of an open registry key, and the only code of the program that calls the
// registry's functions. Every call hands back the system's status (ERROR_SUCCESS or an error
// code) as it came, so that each caller decides for itself which failures count: a missing
// value is a default for the settings, a failure for the Run value, the end of the list for an
// enumeration.
// All inline: a static library brings in whole object files, and tarvolo-export, which only
// reads, would import the functions that write as well.
#include "framework/ScopedHandles.h"

#include <windows.h>

namespace fw {

class CRegKey {
public:
    // Opens the key name below parent (a root or an open key's Get()); Create makes it, and any
    // missing parents, non-volatile first. Whatever was held is closed afterwards, so parent may
    // be this owner's own key; a failure leaves the owner empty.
    LONG Open(HKEY parent, const char* name, REGSAM access) {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExA(parent, name, 0, access, &opened);
        return Take(status, opened);
    }
    LONG Create(HKEY parent, const char* name, REGSAM access) {
        HKEY opened = nullptr;
        const LONG status = RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            access, nullptr, &opened, nullptr);
        return Take(status, opened);
    }
    HKEY Get() const { return m_key.Get(); }
    explicit operator bool() const { return static_cast<bool>(m_key); }

    // With data null, only the type and the size the data needs. size: the room at data on the
    // way in, the bytes of the value on the way out (also with ERROR_MORE_DATA).
    LONG QueryValue(const char* name, DWORD& type, void* data, DWORD& size) const {
        return RegQueryValueExA(Get(), name, nullptr, &type, static_cast<BYTE*>(data), &size);
    }
    LONG SetValue(const char* name, DWORD type, const void* data, DWORD size) const {
        return RegSetValueExA(Get(), name, 0, type, static_cast<const BYTE*>(data), size);
    }
    LONG DeleteValue(const char* name) const { return RegDeleteValueA(Get(), name); }
    // The number of subkeys and the length of the longest name, its NUL not counted.
    LONG QuerySubKeys(DWORD& count, DWORD& longestName) const {
        return RegQueryInfoKeyA(Get(), nullptr, nullptr, nullptr, &count, &longestName, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    // The name of the subkey at index, in room for cchName characters with the NUL;
    // ERROR_NO_MORE_ITEMS past the last one.
    LONG EnumSubKey(DWORD index, char* name, DWORD cchName) const {
        return RegEnumKeyA(Get(), index, name, cchName);
    }

    // Deletes the key name below parent, which must have no subkeys left. A parent of its own,
    // not an owner: the key to delete may lie right below a root, which no owner holds.
    static LONG DeleteSubKey(HKEY parent, const char* name) { return RegDeleteKeyA(parent, name); }

private:
    // The system does not promise what a failed call leaves in the out parameter, so only a
    // successful one's handle is kept.
    LONG Take(LONG status, HKEY opened) {
        m_key.Reset(status == ERROR_SUCCESS ? opened : nullptr);
        return status;
    }

    ScopedRegKey m_key;
};

} // namespace fw
