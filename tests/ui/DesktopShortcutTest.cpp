#include "support/MessageCapture.h"
#include "support/TempFolder.h"
#include "support/TestThread.h"

#include "framework/LoadStringResource.h"
#include "framework/ScopedHandles.h"
#include "resource.h"
#include "ui/DesktopShortcut.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string ProgramPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string Upper(std::string text) {
    CharUpperA(&text[0]);
    return text;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What a shortcut file holds, read back through the shell's link object.
struct LinkContents {
    std::string target, description, arguments, workingDirectory;
};

LinkContents ReadLink(const std::string& shortcutPath) {
    LinkContents contents;
    fw::ScopedComInit com;
    fw::ScopedComPtr<IShellLinkA> link;
    fw::ScopedComPtr<IPersistFile> file;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, shortcutPath.c_str(), -1, wide, MAX_PATH);
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.Receive())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.Receive())) ||
        FAILED(file->Load(wide, STGM_READ)))
        return contents;
    char text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    contents.target = text;
    text[0] = 0;
    link->GetDescription(text, MAX_PATH);
    contents.description = text;
    text[0] = 0;
    link->GetArguments(text, MAX_PATH);
    contents.arguments = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, MAX_PATH);
    contents.workingDirectory = text;
    return contents;
}

// An existing file of the program's name in another folder.
std::string CopyOfProgram(const TempFolder& folder) {
    CreateDirectoryA((folder / "copy").c_str(), nullptr);
    std::string copy = folder / ("copy\\" + ProgramPath().substr(ProgramPath().rfind('\\') + 1));
    std::ofstream(copy, std::ios::binary) << "MZ";
    return copy;
}

TEST(ShellLink, NewShortcutHoldsOnlyTheTarget) {
    TempFolder folder;
    std::string shortcut = folder / "new.lnk";
    ASSERT_GE(CreateShortcut(ProgramPath(), shortcut, ""), 0);
    LinkContents contents = ReadLink(shortcut);
    EXPECT_EQ(0, lstrcmpiA(ProgramPath().c_str(), contents.target.c_str())) << contents.target;
    EXPECT_EQ("", contents.description);
    EXPECT_EQ("", contents.arguments);
    EXPECT_EQ("", contents.workingDirectory);
}

TEST(ShellLink, ShortcutToThisProgramCountsWhateverTheLetterCase) {
    TempFolder folder;
    std::string exact = folder / "exact.lnk";
    std::string upper = folder / "upper.lnk";
    ASSERT_GE(CreateShortcut(ProgramPath(), exact, ""), 0);
    ASSERT_GE(CreateShortcut(Upper(ProgramPath()), upper, ""), 0);
    EXPECT_GE(IsShortcutToProgram(nullptr, exact, ProgramPath()), 0);
    EXPECT_GE(IsShortcutToProgram(nullptr, upper, ProgramPath()), 0);
    EXPECT_GE(IsShortcutToProgram(nullptr, exact, Upper(ProgramPath())), 0);
}

TEST(ShellLink, ShortcutToAnotherCopyDoesNotCount) {
    TempFolder folder;
    std::string shortcut = folder / "copy.lnk";
    ASSERT_GE(CreateShortcut(CopyOfProgram(folder), shortcut, ""), 0);
    EXPECT_EQ(-1, IsShortcutToProgram(nullptr, shortcut, ProgramPath()));
}

TEST(ShellLink, MissingOrBrokenShortcutFileDoesNotCount) {
    TempFolder folder;
    EXPECT_LT(IsShortcutToProgram(nullptr, folder / "missing.lnk", ProgramPath()), 0);
    std::string broken = folder / "broken.lnk";
    std::ofstream(broken, std::ios::binary) << "not a shortcut";
    EXPECT_LT(IsShortcutToProgram(nullptr, broken, ProgramPath()), 0);
}

TEST(ShellLink, UnsavableShortcutReportsFailure) {
    TempFolder folder;
    EXPECT_LT(CreateShortcut(ProgramPath(), folder / "no\\such\\folder\\x.lnk", ""), 0);
}

TEST(ShellLink, CallersComStaysInitialised) {
    TempFolder folder;
    std::string shortcut = folder / "mta.lnk";
    HRESULT before = E_FAIL, after = E_FAIL, found = E_FAIL;
    // A thread in the multithreaded apartment: the routines cannot join it with their own
    // initialisation and must not undo the thread's.
    TestThread([&] {
        before = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CreateShortcut(ProgramPath(), shortcut, "");
        found = IsShortcutToProgram(nullptr, shortcut, ProgramPath());
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(after))
            CoUninitialize();
        CoUninitialize();
    }).Join();
    EXPECT_EQ(S_OK, before);
    EXPECT_GE(found, 0);
    EXPECT_EQ(S_FALSE, after) << "the thread's COM was torn down";
}

class DesktopShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        char desktop[MAX_PATH] = {};
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
        shortcut = std::string(desktop) + "\\Tarvolo.lnk";
        DeleteFileA(shortcut.c_str());
    }
    void TearDown() override { DeleteFileA(shortcut.c_str()); }

    MessageCapture questions{IDNO};
    TempFolder folder;
    std::string shortcut;
};

TEST_F(DesktopShortcutTest, WorkingShortcutAsksNothing) {
    ASSERT_GE(CreateShortcut(ProgramPath(), shortcut, ""), 0);
    OfferDesktopShortcut(nullptr);
    EXPECT_TRUE(questions.Messages().empty());
}

TEST_F(DesktopShortcutTest, ShortcutInOtherLetterCaseAsksNothing) {
    ASSERT_GE(CreateShortcut(Upper(ProgramPath()), shortcut, ""), 0);
    OfferDesktopShortcut(nullptr);
    EXPECT_TRUE(questions.Messages().empty());
}

TEST_F(DesktopShortcutTest, NoShortcutAsksAndNoLeavesTheDesktopAlone) {
    OfferDesktopShortcut(nullptr);
    ASSERT_EQ(1u, questions.Messages().size());
    EXPECT_EQ(fw::LoadStringResource(IDS_SHORTCUT_QUESTION), questions.Messages()[0].text);
    EXPECT_EQ(
        "Soll f\xFCr den manuellen Start eine Verkn\xFCpfung auf dem Desktop angelegt werden ?",
        questions.Messages()[0].text);
    EXPECT_EQ(unsigned(MB_YESNO), questions.Messages()[0].style);
    EXPECT_FALSE(FileExists(shortcut));
}

TEST_F(DesktopShortcutTest, YesCreatesAShortcutToThisProgram) {
    questions.SetAnswer(IDYES);
    OfferDesktopShortcut(nullptr);
    EXPECT_EQ(1u, questions.Messages().size());
    EXPECT_GE(IsShortcutToProgram(nullptr, shortcut, ProgramPath()), 0);
    EXPECT_EQ("", ReadLink(shortcut).description);
    EXPECT_EQ("", ReadLink(shortcut).arguments);
}

TEST_F(DesktopShortcutTest, ShortcutToAnotherCopyAsksAndYesOverwritesIt) {
    ASSERT_GE(CreateShortcut(CopyOfProgram(folder), shortcut, "old"), 0);
    questions.SetAnswer(IDYES);
    OfferDesktopShortcut(nullptr);
    EXPECT_EQ(1u, questions.Messages().size());
    EXPECT_GE(IsShortcutToProgram(nullptr, shortcut, ProgramPath()), 0);
    EXPECT_EQ("", ReadLink(shortcut).description);
}

TEST_F(DesktopShortcutTest, ShortcutToAnotherCopyAndNoKeepsItByteForByte) {
    ASSERT_GE(CreateShortcut(CopyOfProgram(folder), shortcut, "old"), 0);
    std::string before = ReadFileBytes(shortcut);
    OfferDesktopShortcut(nullptr);
    EXPECT_EQ(1u, questions.Messages().size());
    EXPECT_EQ(before, ReadFileBytes(shortcut));
}

} // namespace
