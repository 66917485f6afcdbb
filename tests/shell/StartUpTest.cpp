// What the application decides from its start-up environment: the quit request on the command
// line, a program folder too long for the log's files, and a time zone variable that the C
// library cannot read.
#include "framework/CFileLocation.h"
#include "resource.h"
#include "shell/CCounterApp.h"
#include "support/MessageCapture.h"
#include "system/TimeZoneVariable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

TEST(QuitRequest, CountsInAnyLetterCaseAndInsideLongerWords) {
    EXPECT_TRUE(CCounterApp::IsQuitRequest("/quit"));
    EXPECT_TRUE(CCounterApp::IsQuitRequest("/QUIT"));
    EXPECT_TRUE(CCounterApp::IsQuitRequest("-x /QuIt"));
    EXPECT_TRUE(CCounterApp::IsQuitRequest("please/quitnow"));
    EXPECT_TRUE(CCounterApp::IsQuitRequest("\"C:\\\xC4rger\" /Quit"));
}

TEST(QuitRequest, OtherCommandLinesAreNone) {
    EXPECT_FALSE(CCounterApp::IsQuitRequest(""));
    EXPECT_FALSE(CCounterApp::IsQuitRequest("quit"));
    EXPECT_FALSE(CCounterApp::IsQuitRequest("/qui t"));
    EXPECT_FALSE(CCounterApp::IsQuitRequest("\\quit"));
}

namespace {

// The program's file at this path, reported as the system does: a path that does not fit the
// buffer comes back cut to it, with the buffer's size as its length.
class ProgramAt {
public:
    explicit ProgramAt(const std::string& path)
        : m_previous(CFileLocation::SetModuleFileNameReader(
              [path](char* buffer, unsigned long size) -> unsigned long {
                  const std::size_t copied = std::min<std::size_t>(path.size(), size - 1);
                  buffer[path.copy(buffer, copied)] = '\0';
                  return path.size() < size ? static_cast<unsigned long>(path.size()) : size;
              })) {}
    ~ProgramAt() { CFileLocation::SetModuleFileNameReader(m_previous); }

private:
    CFileLocation::ModuleFileNameReader m_previous;
};

// A folder path of the given length, in folders of ten characters, with its final backslash.
std::string FolderOfLength(std::size_t length) {
    std::string folder = "C:\\";
    while (folder.size() < length)
        folder += folder.size() % 10 == 9 ? '\\' : 'd';
    folder.back() = '\\';
    return folder;
}

} // namespace

// A folder of 247 characters and "clog.dat.tmp" reach the last character the system's path
// limit allows. The long last folder would be cut off, leaving its short parent.
TEST(ProgramFolder, RefusedWithTheStopMessageWhenTheLogsFilesWouldPassThePathLimit) {
    for (const std::string& folder :
         {FolderOfLength(248), FolderOfLength(100) + std::string(199, 'x') + "\\"}) {
        SCOPED_TRACE(folder.size());
        const ProgramAt program(folder + "tarvolo.exe");
        const MessageCapture boxes;
        EXPECT_FALSE(CCounterApp::ProgramFolderUsable());
        ASSERT_EQ(1u, boxes.Messages().size());
        EXPECT_EQ("Der Pfad des Programmordners ist zu lang: Tarvolo kann dort keine Daten "
                  "speichern. Bitte starten Sie Tarvolo aus einem Ordner mit k\xFCrzerem Pfad.",
                  boxes.Messages()[0].text);
        EXPECT_EQ(static_cast<unsigned>(MB_ICONHAND), boxes.Messages()[0].style);
    }
}

// The system cuts the path to its first 259 characters, whose last backslash is a parent's.
TEST(ProgramFolder, APathLongerThanTheLimitNamesNoFolder) {
    const ProgramAt program(FolderOfLength(300) + "tarvolo.exe");
    CFileLocation location(CFileLocation::LOCATION_PROGRAM_FILE);
    EXPECT_FALSE(location.SetLocation(CFileLocation::LOCATION_PROGRAM_FOLDER));
    EXPECT_EQ("", location.GetPath());
}

TEST(ProgramFolder, AFolderWhoseFilesFitIsTakenSilently) {
    const std::string folder = FolderOfLength(247);
    const ProgramAt program(folder + "tarvolo.exe");
    const MessageCapture boxes;
    EXPECT_TRUE(CCounterApp::ProgramFolderUsable());
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(folder, CFileLocation(CFileLocation::LOCATION_PROGRAM_FOLDER).GetPath());
}

class TimeZoneVariable : public ::testing::Test {
protected:
    void TearDown() override {
        _putenv("TZ=");
        _tzset();
    }
    static std::string Tz() {
        const char* zone = std::getenv("TZ");
        return zone ? zone : "(unset)";
    }
};

TEST_F(TimeZoneVariable, ZoneNamesAndPathsAreRemoved) {
    for (const char* setting : {"TZ=Europe/Berlin", "TZ=:/etc/localtime", "TZ=:Europe/Berlin"}) {
        _putenv(setting);
        EXPECT_TRUE(ClearUnreadableTimeZoneVariable()) << setting;
        EXPECT_EQ("(unset)", Tz()) << setting;
    }
}

TEST_F(TimeZoneVariable, TheCLibrarysOwnFormAndNoVariableStay) {
    _putenv("TZ=CET-1CEST");
    EXPECT_FALSE(ClearUnreadableTimeZoneVariable());
    EXPECT_EQ("CET-1CEST", Tz());
    _putenv("TZ=");
    EXPECT_FALSE(ClearUnreadableTimeZoneVariable());
    EXPECT_EQ("(unset)", Tz());
}

TEST_F(TimeZoneVariable, LocalTimeFollowsTheSystemZoneAfterwards) {
    // The tests run with Wine's zone Europe/Berlin: UTC+1 in January.
    _putenv("TZ=Europe/Berlin");
    _tzset();
    ClearUnreadableTimeZoneVariable();
    std::time_t newYear = 1767225600; // 2026-01-01 00:00 UTC
    EXPECT_EQ(1, std::localtime(&newYear)->tm_hour);
}
