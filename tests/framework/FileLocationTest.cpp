#include "ExpectLocationParts.h"
#include "framework/CFileLocation.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

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

TEST(FileLocationKind, LocalApplicationDataIsAFolderOfTheUser) {
    const CFileLocation appData(CFileLocation::LOCATION_LOCAL_APPDATA);
    EXPECT_TRUE(appData.GetName().empty());
    EXPECT_EQ('\\', appData.GetFolder().back());
    EXPECT_TRUE(appData.Exists()) << appData.GetPath();
}

TEST(FileLocationKind, UnknownKindIsEmpty) {
    CFileLocation location("C:\\was\\here.txt");
    EXPECT_FALSE(location.SetLocation(CFileLocation::LOCATION_LOCAL_APPDATA + 1));
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
