#include "ExpectLocationParts.h"
#include "framework/CFileLocation.h"
#include "framework/ScopedHandles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// Sets a value of the user's shell folders for the test and puts the old state back.
class ShellFolderValue {
public:
    explicit ShellFolderValue(const char* name) : m_name(name) {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        m_key.Receive(), nullptr);
        char buffer[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        if (RegQueryValueExA(m_key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                             &size) == ERROR_SUCCESS)
            m_original = buffer;
    }
    ~ShellFolderValue() {
        if (m_original)
            Set(*m_original);
        else
            Remove();
    }
    ShellFolderValue(const ShellFolderValue&) = delete;
    ShellFolderValue& operator=(const ShellFolderValue&) = delete;

    void Set(const std::string& value) {
        RegSetValueExA(m_key.Get(), m_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }
    void Remove() { RegDeleteValueA(m_key.Get(), m_name); }

private:
    static constexpr const char* kKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const char* m_name;
    fw::ScopedRegKey m_key;
    std::optional<std::string> m_original;
};

} // namespace

// One case for every shell-folder value, so that no two test processes change it at once.
TEST(FileLocationKind, DesktopAndFavoritesFromTheShellFolders) {
    ShellFolderValue desktop("Desktop");
    desktop.Set("C:\\users\\anna\\Desktop");
    const CFileLocation plain(CFileLocation::LOCATION_DESKTOP_FOLDER);
    desktop.Set("D:\\Daten\\Desktop\\");
    const CFileLocation withBackslash(CFileLocation::LOCATION_DESKTOP_FOLDER);
    desktop.Remove();
    CFileLocation missing("C:\\was\\here.txt");
    const bool found = missing.SetLocation(CFileLocation::LOCATION_DESKTOP_FOLDER);

    ExpectParts(plain, "C:", "\\users\\anna\\Desktop\\", "", "");
    EXPECT_EQ("D:\\Daten\\Desktop\\", withBackslash.GetPath());
    EXPECT_FALSE(found);
    EXPECT_EQ("", missing.GetPath());

    ShellFolderValue favorites("Favorites");
    favorites.Set("C:\\users\\anna\\Favoriten");
    EXPECT_EQ("C:\\users\\anna\\Favoriten\\",
              CFileLocation(CFileLocation::LOCATION_FAVORITES_FOLDER).GetPath());
}
