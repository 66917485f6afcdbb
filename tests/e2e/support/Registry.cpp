#include "Registry.h"

#include "framework/ScopedHandles.h"

namespace e2e {
namespace {

// The key, opened or created with the access asked for; an empty holder when that fails.
void OpenKey(fw::ScopedRegKey& key, HKEY root, const std::string& path, REGSAM access,
             bool create) {
    HKEY hKey = nullptr;
    const LONG result =
        create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, &hKey, nullptr)
               : RegOpenKeyExA(root, path.c_str(), 0, access, &hKey);
    key.Reset(result == ERROR_SUCCESS ? hKey : nullptr);
}

} // namespace

std::optional<std::string> ReadRegistryValue(HKEY root, const std::string& key,
                                             const std::string& name) {
    fw::ScopedRegKey open;
    OpenKey(open, root, key, KEY_QUERY_VALUE, false);
    DWORD size = 0;
    if (!open.Get() || RegQueryValueExA(open.Get(), name.c_str(), nullptr, nullptr, nullptr,
                                        &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (RegQueryValueExA(open.Get(), name.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}

namespace {

bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                        const void* data, DWORD size) {
    fw::ScopedRegKey open;
    OpenKey(open, root, key, KEY_SET_VALUE, true);
    return open.Get() && RegSetValueExA(open.Get(), name.c_str(), 0, type,
                                        static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

} // namespace

bool WriteRegistryString(HKEY root, const std::string& key, const std::string& name,
                         const std::string& text) {
    return WriteRegistryValue(root, key, name, REG_SZ, text.c_str(),
                              static_cast<DWORD>(text.size() + 1));
}

bool WriteRegistryDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    return WriteRegistryValue(root, key, name, REG_DWORD, &value, sizeof value);
}

bool DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name) {
    fw::ScopedRegKey open;
    OpenKey(open, root, key, KEY_SET_VALUE, false);
    if (!open.Get())
        return true;
    const LONG result = RegDeleteValueA(open.Get(), name.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

} // namespace e2e
