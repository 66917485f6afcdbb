#include "framework/Profile.h"

#include "framework/CRegKey.h"

#include <windows.h>

#include <algorithm>
#include <vector>

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

// A missing key or value is no failure: the value is gone either way.
bool DeleteValue(const std::string& path, const std::string& entry) {
    CRegKey key;
    const LONG opened = key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_SET_VALUE);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    const LONG deleted = key.DeleteValue(entry.c_str());
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

// The bytes of a value of the type wanted; false, with data untouched, for a missing key or
// value or another type.
bool GetValue(const std::string& path, const std::string& entry, DWORD wantedType,
              std::vector<unsigned char>& data) {
    CRegKey key;
    DWORD type = 0;
    DWORD size = 0;
    if (path.empty() || key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) != ERROR_SUCCESS ||
        key.QueryValue(entry.c_str(), type, nullptr, size) != ERROR_SUCCESS || type != wantedType)
        return false;
    std::vector<unsigned char> bytes(size);
    if (key.QueryValue(entry.c_str(), type, bytes.data(), size) != ERROR_SUCCESS ||
        type != wantedType)
        return false;
    bytes.resize(size);
    data.swap(bytes);
    return true;
}

// Creates the keys on the way.
bool SetValue(const std::string& path, const std::string& entry, DWORD type, const void* data,
              DWORD size) {
    CRegKey key;
    return key.Create(HKEY_CURRENT_USER, path.c_str(), KEY_WRITE) == ERROR_SUCCESS &&
           key.SetValue(entry.c_str(), type, data, size) == ERROR_SUCCESS;
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
    return GetValue(SectionPath(section), entry, REG_BINARY, data);
}

unsigned long GetProfileDword(const std::string& section, const std::string& entry,
                              unsigned long nDefault) {
    const std::string path = SectionPath(section);
    CRegKey key;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (path.empty() || key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) != ERROR_SUCCESS ||
        key.QueryValue(entry.c_str(), type, &value, size) != ERROR_SUCCESS || type != REG_DWORD ||
        size != sizeof value)
        return nDefault;
    return value;
}

bool WriteProfileDword(const std::string& section, const std::string& entry, unsigned long value,
                       unsigned long nDefault) {
    const std::string path = SectionPath(section);
    if (path.empty())
        return false;
    if (value == nDefault)
        return DeleteValue(path, entry);
    const DWORD data = value;
    return SetValue(path, entry, REG_DWORD, &data, sizeof data);
}

bool WriteProfileBinary(const std::string& section, const std::string& entry, const void* data,
                        unsigned size) {
    const std::string path = SectionPath(section);
    return !path.empty() && SetValue(path, entry, REG_BINARY, data, size);
}

bool GetProfileText(const std::string& section, const std::string& entry, std::string& text) {
    std::vector<unsigned char> bytes;
    if (!GetValue(SectionPath(section), entry, REG_SZ, bytes))
        return false;
    text.assign(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\0'));
    return true;
}

bool WriteProfileText(const std::string& section, const std::string& entry,
                      const std::string& text) {
    const std::string path = SectionPath(section);
    if (path.empty())
        return false;
    if (text.empty())
        return DeleteValue(path, entry);
    return SetValue(path, entry, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool DeleteProfileValue(const std::string& section, const std::string& entry) {
    const std::string path = SectionPath(section);
    return !path.empty() && DeleteValue(path, entry);
}

} // namespace fw
