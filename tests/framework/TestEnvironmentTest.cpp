// Locale-dependent tests are only worth something if Wine really runs them under the
// user locale that CTest asked for; Wine silently falls back to en-US otherwise.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(TestEnvironment, UserLocaleFollowsLang) {
    const char* lang = std::getenv("LANG");
    ASSERT_NE(nullptr, lang);
    LCID expected = std::string(lang).rfind("de_DE", 0) == 0 ? 0x407 : 0x409;
    EXPECT_EQ(expected, GetUserDefaultLCID()) << "LANG=" << lang;
}

TEST(TestEnvironment, EveryVariableOfTheTestArrives) {
    const char* expect = std::getenv("TARVOLO_EXPECT");
    ASSERT_NE(nullptr, expect);
    EXPECT_STREQ("ok", expect);
}

TEST(TestEnvironment, TimeZoneIsCentralEurope) {
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    EXPECT_EQ(-60, zone.Bias);
}
