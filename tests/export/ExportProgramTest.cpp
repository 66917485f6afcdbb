// The shipped program itself, run as a child process: exit codes and the bytes of its output.
#include "ExportData.h"
#include "framework/CArchive.h"
#include "framework/CFile.h"
#include "framework/ScopedHandles.h"
#include "log/CConnectionList.h"
#include "support/LocalTime.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The build's path of the program, as Wine sees it through its drive Z:.
std::string ExportProgram() {
    std::string path = std::string("Z:") + TARVOLO_EXPORT_EXE;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

struct ProgramResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

// A folder argument without its final backslash, which would escape the closing quote.
std::string Quoted(const TempFolder& folder) {
    const std::string& path = folder.Path();
    return "\"" + path.substr(0, path.size() - 1) + "\"";
}

ProgramResult RunProgram(const std::string& arguments, const TempFolder& scratch) {
    ProgramResult result;
    {
        fw::ScopedFileHandle out(InheritableFile(scratch / "out.txt"));
        fw::ScopedFileHandle err(InheritableFile(scratch / "err.txt"));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out.Get();
        startup.hStdError = err.Get();
        std::string commandLine = "\"" + ExportProgram() + "\" " + arguments;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process))
            return result;
        fw::ScopedHandle processHandle(process.hProcess);
        fw::ScopedHandle threadHandle(process.hThread);
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &result.exitCode);
    }
    result.out = ReadFileText(scratch / "out.txt");
    result.err = ReadFileText(scratch / "err.txt");
    return result;
}

} // namespace

TEST(ExportProgram, WritesTheWorkedExampleAsCsvWithCrLf) {
    TempFolder data, scratch;
    WriteFileBytes(data / "clog.dat", WORKED_EXAMPLE);
    const ProgramResult result = RunProgram("--dir " + Quoted(data) + " connections", scratch);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ(WORKED_EXAMPLE_CSV, result.out);
    EXPECT_EQ("", result.err);
}

TEST(ExportProgram, FailsWithExitCodeTwoAndOneLineOnStandardError) {
    TempFolder data, scratch;
    const ProgramResult result = RunProgram("--dir " + Quoted(data) + " months", scratch);
    EXPECT_EQ(2u, result.exitCode);
    EXPECT_EQ("", result.out);
    EXPECT_EQ("tarvolo-export: " + data / "mlog.dat" + " was not found.\r\n", result.err);
}

TEST(ExportProgram, ReadsItsOwnFolderByDefault) {
    TempFolder scratch;
    const ProgramResult result = RunProgram("connections", scratch);
    EXPECT_EQ(2u, result.exitCode);
    const std::string program = ExportProgram();
    const std::string folder = program.substr(0, program.rfind('\\') + 1);
    EXPECT_EQ("tarvolo-export: " + folder + "clog.dat was not found.\r\n", result.err);
}

// A shell that sets TZ to a zone name (Wine always does; so may Unix-like shells on Windows):
// the C library would take it for UTC. The program follows the system's zone all the same, for
// the local times and for the billing periods' midnight.
TEST(ExportProgram, AZoneNameInTzLeavesTheSystemsTimeZone) {
    TempFolder data, scratch;
    const TIME64 billingDay = LocalTime(2027, 1, 15, 0, 0, 1);
    ASSERT_NE(1, billingDay % 86400) << "the tests run in a zone other than UTC";
    {
        CFile file(data / "clog.dat", CFile::modeCreate | CFile::modeWrite);
        CArchive archive(file, CArchive::store);
        StoreConnectionList(archive, {{billingDay, 60, 1000, 10}});
        archive.Close();
    }
    // In the environment the program inherits; this program's C library never sees it.
    SetEnvironmentVariableA("TZ", "Europe/Berlin");
    const ProgramResult rows = RunProgram("--dir " + Quoted(data) + " connections", scratch);
    const ProgramResult periods =
        RunProgram("--dir " + Quoted(data) + " periods --day 15", scratch);
    SetEnvironmentVariableA("TZ", nullptr);
    EXPECT_NE(std::string::npos, rows.out.find(",2027-01-15T00:00:01,60,1000,10\r\n")) << rows.out;
    EXPECT_NE(std::string::npos,
              periods.out.find("\n2027-01-15T00:00:00,2027-02-15T00:00:00,1,60,1000,10\r\n"))
        << periods.out;
}
