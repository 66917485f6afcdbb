// What the application decides from its start-up environment: the quit request on the command
// line, and a time zone variable that the C library cannot read.
#include "shell/CounterApp.h"
#include "shell/TimeZoneVariable.h"

#include <gtest/gtest.h>

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
