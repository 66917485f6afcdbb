// The learnt time texts against strftime itself, second by second, in the user's settings.
#include "log/CTimeOfDayText.h"
#include "log/ReportFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

class TimeOfDayTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { std::setlocale(LC_ALL, ""); }
    static void TearDownTestSuite() { std::setlocale(LC_ALL, "C"); }

    // Every second of a day, in summer or winter time, through one cache.
    static int Differences(const char* format, int isdst) {
        CTimeOfDayText cache(format);
        std::tm local{};
        local.tm_year = 126;
        local.tm_mon = 6;
        local.tm_mday = 15;
        local.tm_isdst = isdst;
        int differences = 0;
        for (int second = 0; second < 86400; ++second) {
            local.tm_hour = second / 3600;
            local.tm_min = second / 60 % 60;
            local.tm_sec = second % 60;
            std::string expected;
            AppendTimeText(expected, local, format);
            const std::string actual = cache.Text(local);
            if (actual != expected && ++differences <= 5)
                ADD_FAILURE() << format << " at " << second << ": " << actual << " instead of "
                              << expected;
        }
        return differences;
    }
};

} // namespace

TEST_F(TimeOfDayTextTest, TheUsersTimeFormatAsStrftimeWritesIt) {
    EXPECT_EQ(0, Differences("%#X", 0));
    EXPECT_EQ(0, Differences("%#X", 1));
    EXPECT_EQ(0, Differences("%X", 0));
}

TEST_F(TimeOfDayTextTest, DigitsSideBySideAndTwelveHourClocks) {
    EXPECT_EQ(0, Differences("%H%M%S", 0));
    EXPECT_EQ(0, Differences("%I:%M:%S %p", 0));
    EXPECT_EQ(0, Differences("%S.%M.%H", 0));
}

// Minutes without a leading zero have no fixed place for their digits.
TEST_F(TimeOfDayTextTest, FormatsWithoutAFixedPatternAreLeftToStrftime) {
    EXPECT_EQ(0, Differences("%#M:%#S", 0));
    EXPECT_EQ(0, Differences("%H:%M", 0));
    EXPECT_EQ(0, Differences("%M%M:%S", 0));
    EXPECT_EQ(0, Differences("", 0));
}

TEST_F(TimeOfDayTextTest, FieldsOutsideADayGoToStrftime) {
    CTimeOfDayText cache("%H:%M:%S");
    std::tm local{};
    local.tm_year = 126;
    local.tm_hour = 23;
    local.tm_min = 59;
    local.tm_sec = 60; // a leap second as the C library allows it
    std::string expected;
    AppendTimeText(expected, local, "%H:%M:%S");
    EXPECT_EQ(expected, cache.Text(local));
    local.tm_sec = 59;
    EXPECT_EQ("23:59:59", cache.Text(local));
}
