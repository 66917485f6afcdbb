#include "log/CFileLocation.h"
#include "support/TempPath.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

namespace {

void ExpectParts(const CFileLocation& location, const std::string& drive, const std::string& folder,
                 const std::string& name, const std::string& extension) {
    EXPECT_EQ(drive, location.GetDrive());
    EXPECT_EQ(folder, location.GetFolder());
    EXPECT_EQ(name, location.GetName());
    EXPECT_EQ(extension, location.GetExtension());
}

std::string WithBackslash(std::string folder) {
    if (folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string ModulePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string Lower(std::string text) {
    CharLowerA(text.data());
    return text;
}

// Sets a value of the user's shell folders for the test and puts the old state back.
class ShellFolderValue {
public:
    explicit ShellFolderValue(const char* name) : m_name(name) {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey,
                        nullptr);
        char buffer[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        if (RegQueryValueExA(m_hKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                             &size) == ERROR_SUCCESS)
            m_original = buffer;
    }
    ~ShellFolderValue() {
        if (m_original)
            Set(*m_original);
        else
            Remove();
        RegCloseKey(m_hKey);
    }
    ShellFolderValue(const ShellFolderValue&) = delete;
    ShellFolderValue& operator=(const ShellFolderValue&) = delete;

    void Set(const std::string& value) {
        RegSetValueExA(m_hKey, m_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }
    void Remove() { RegDeleteValueA(m_hKey, m_name); }

private:
    static constexpr const char* kKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const char* m_name;
    HKEY m_hKey = nullptr;
    std::optional<std::string> m_original;
};

} // namespace

TEST(FileLocationSplit, FullPathGivesFourParts) {
    ExpectParts(CFileLocation("C:\\Programme\\Tool\\clog.dat"), "C:", "\\Programme\\Tool\\", "clog",
                ".dat");
}

TEST(FileLocationSplit, ExtensionFromTheLastDotOfTheName) {
    ExpectParts(CFileLocation("C:\\x.y\\archive.tar.gz"), "C:", "\\x.y\\", "archive.tar", ".gz");
    ExpectParts(CFileLocation("C:\\x.y\\README"), "C:", "\\x.y\\", "README", "");
}

TEST(FileLocationSplit, SlashesAndRelativePaths) {
    ExpectParts(CFileLocation("C:/Tool/app.exe"), "C:", "/Tool/", "app", ".exe");
    ExpectParts(CFileLocation("sub\\x.txt"), "", "sub\\", "x", ".txt");
    ExpectParts(CFileLocation("clog.dat"), "", "", "clog", ".dat");
}

TEST(FileLocationSplit, NameNearThePathLimitIsKeptWhole) {
    const std::string name(250, 'n');
    const CFileLocation location(("C:\\" + name + ".dat").c_str());
    EXPECT_EQ(name, location.GetName());
    EXPECT_EQ("C:\\" + name + ".dat", location.GetPath());
}

TEST(FileLocationFileName, NameWithFolderTakesOnlyNameAndExtension) {
    CFileLocation location("C:\\Programme\\Tool\\clog.dat");
    location.SetFileName("sub\\x.txt");
    ExpectParts(location, "C:", "\\Programme\\Tool\\", "x", ".txt");
    EXPECT_EQ("C:\\Programme\\Tool\\x.txt", location.GetPath());
    EXPECT_EQ("x.txt", location.GetFileName());
}

TEST(FileLocationFolder, BackslashIsAddedOnlyWhenMissing) {
    CFileLocation location;
    location.SetFolder("C:\\WINDOWS");
    ExpectParts(location, "C:", "\\WINDOWS\\", "", "");
    EXPECT_EQ("C:\\WINDOWS\\", location.GetPath());
    location.SetFolder("C:\\");
    ExpectParts(location, "C:", "\\", "", "");
    EXPECT_EQ("C:\\", location.GetPath());
}

TEST(FileLocationKind, ProgramFileAndFolder) {
    const std::string module = ModulePath();
    EXPECT_EQ(module, CFileLocation(CFileLocation::LOCATION_PROGRAM_FILE).GetPath());
    const CFileLocation folder(CFileLocation::LOCATION_PROGRAM_FOLDER);
    EXPECT_EQ(module.substr(0, module.rfind('\\') + 1), folder.GetPath());
    EXPECT_TRUE(folder.GetName().empty());
    EXPECT_TRUE(folder.GetExtension().empty());
}

TEST(FileLocationKind, LogFileInTheProgramFolder) {
    CFileLocation location(CFileLocation::LOCATION_NONE);
    EXPECT_EQ("", location.GetPath());
    location.SetLocation(CFileLocation::LOCATION_PROGRAM_FOLDER);
    location.SetFileName("clog.dat");
    const std::string module = ModulePath();
    EXPECT_EQ(module.substr(0, module.rfind('\\') + 1) + "clog.dat", location.GetPath());
}

TEST(FileLocationKind, WindowsSystemAndTemporaryFolders) {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, MAX_PATH);
    const CFileLocation windows(CFileLocation::LOCATION_WINDOWS_FOLDER);
    EXPECT_EQ(WithBackslash(path), windows.GetPath());
    EXPECT_EQ(WithBackslash(path).substr(2), windows.GetFolder());

    GetSystemDirectoryA(path, MAX_PATH);
    EXPECT_EQ(WithBackslash(path), CFileLocation(CFileLocation::LOCATION_SYSTEM_FOLDER).GetPath());

    GetTempPathA(MAX_PATH, path);
    EXPECT_EQ(path, CFileLocation(CFileLocation::LOCATION_TEMP_FOLDER).GetPath());
}

TEST(FileLocationKind, NewTemporaryFileName) {
    const CFileLocation temp(CFileLocation::LOCATION_TEMP_FILE);
    const CFileLocation folder(CFileLocation::LOCATION_TEMP_FOLDER);
    EXPECT_EQ(Lower(folder.GetPath()), Lower(temp.GetDrive() + temp.GetFolder()));
    ASSERT_FALSE(temp.GetName().empty());
    EXPECT_EQ('~', temp.GetName()[0]);
    EXPECT_FALSE(temp.Exists());
}

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

TEST(FileLocationKind, UnknownKindIsEmpty) {
    CFileLocation location("C:\\was\\here.txt");
    EXPECT_FALSE(location.SetLocation(9));
    EXPECT_EQ("", location.GetPath());
    EXPECT_FALSE(location.SetLocation(-1));
    EXPECT_EQ("", CFileLocation(0).GetPath());
}

TEST(FileLocationExists, ExistingAndMissingPaths) {
    TempPath temp;
    EXPECT_TRUE(CFileLocation(temp.Path().c_str()).Exists());
    EXPECT_TRUE(CFileLocation(CFileLocation::LOCATION_PROGRAM_FILE).Exists());
    EXPECT_TRUE(CFileLocation(CFileLocation::LOCATION_WINDOWS_FOLDER).Exists());
    EXPECT_FALSE(CFileLocation((temp.Path() + ".gone").c_str()).Exists());
}

// Run by ProgramStartedFromToolFolder in a copy of this program: writes what the copy finds
// for its own file and folder to the file named by TARVOLO_LOCATION_REPORT.
TEST(FileLocationProgram, DISABLED_ReportOwnLocation) {
    const char* report = std::getenv("TARVOLO_LOCATION_REPORT");
    ASSERT_NE(nullptr, report);
    std::ofstream out(report);
    out << CFileLocation(CFileLocation::LOCATION_PROGRAM_FILE).GetPath() << '\n'
        << CFileLocation(CFileLocation::LOCATION_PROGRAM_FOLDER).GetPath() << '\n';
}

TEST(FileLocationProgram, ProgramStartedFromToolFolder) {
    CreateDirectoryA("C:\\Tool", nullptr);
    ASSERT_TRUE(CopyFileA(ModulePath().c_str(), "C:\\Tool\\app.exe", FALSE));
    TempPath report;
    SetEnvironmentVariableA("TARVOLO_LOCATION_REPORT", report.Path().c_str());

    std::string command = "C:\\Tool\\app.exe --gtest_also_run_disabled_tests "
                          "--gtest_filter=FileLocationProgram.DISABLED_ReportOwnLocation";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileA("C:\\Tool\\app.exe");
    RemoveDirectoryA("C:\\Tool");

    EXPECT_EQ(0u, exitCode);
    std::ifstream in(report.Path());
    std::string file, folder;
    std::getline(in, file);
    std::getline(in, folder);
    EXPECT_EQ("C:\\Tool\\app.exe", file);
    EXPECT_EQ("C:\\Tool\\", folder);
}
