#include "framework/Profile.h"

#include "framework/ScopedHandles.h"

#include <windows.h>

namespace fw {
namespace {

struct ProfileNames {
    std::string registryKey;
    std::string profileName;
};

ProfileNames& Names() {
    static ProfileNames names;
    return names;
}

std::string SectionPath(const std::string& section) {
    std::string path = GetAppRegistryPath();
    if (!path.empty() && !section.empty())
        path += "\\" + section;
    return path;
}

} // namespace

void SetRegistryKey(const std::string& registryKey) {
    Names().registryKey = registryKey;
}

void SetProfileName(const std::string& profileName) {
    Names().profileName = profileName;
}

std::string GetAppRegistryPath() {
    const ProfileNames& names = Names();
    if (names.registryKey.empty() || names.profileName.empty())
        return {};
    return "software\\" + names.registryKey + "\\" + names.profileName;
}

bool GetProfileBinary(const std::string& section, const std::string& entry,
                      std::vector<unsigned char>& data) {
    std::string path = SectionPath(section);
    if (path.empty())
        return false;
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), entry.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_BINARY)
        return false;
    std::vector<unsigned char> bytes(size);
    if (RegQueryValueExA(key.Get(), entry.c_str(), nullptr, &type, bytes.data(), &size) !=
            ERROR_SUCCESS ||
        type != REG_BINARY)
        return false;
    bytes.resize(size);
    data.swap(bytes);
    return true;
}

unsigned long GetProfileDword(const std::string& section, const std::string& entry,
                              unsigned long nDefault) {
    const std::string path = SectionPath(section);
    ScopedRegKey key;
    if (path.empty() ||
        RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return nDefault;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.Get(), entry.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return nDefault;
    return value;
}

bool WriteProfileDword(const std::string& section, const std::string& entry, unsigned long value,
                       unsigned long nDefault) {
    const std::string path = SectionPath(section);
    if (path.empty())
        return false;
    ScopedRegKey key;
    if (value == nDefault) {
        LONG opened =
            RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, key.Receive());
        if (opened == ERROR_FILE_NOT_FOUND)
            return true;
        if (opened != ERROR_SUCCESS)
            return false;
        LONG deleted = RegDeleteValueA(key.Get(), entry.c_str());
        return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
    }
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD data = value;
    return RegSetValueExA(key.Get(), entry.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool WriteProfileBinary(const std::string& section, const std::string& entry, const void* data,
                        unsigned size) {
    std::string path = SectionPath(section);
    if (path.empty())
        return false;
    ScopedRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.Get(), entry.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data),
                          size) == ERROR_SUCCESS;
}

} // namespace fw
