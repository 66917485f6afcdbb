// Under German and US user settings: the megabyte texts of the reports follow the user's number
// format, and times are local even when Wine hands the program its zone name in TZ.
#include "TarvoloTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace e2e;

namespace {

bool IsGermanRun() {
    const char* lang = std::getenv("LANG");
    return lang && std::string(lang).rfind("de_DE", 0) == 0;
}

std::string LocalClockTime(TIME64 time) {
    const std::time_t t = static_cast<std::time_t>(time);
    char text[16] = {};
    std::strftime(text, sizeof text, "%H:%M:%S", std::localtime(&t));
    return text;
}

} // namespace

TEST_F(Tarvolo, ReportsShowMegabytesInTheUsersNumberFormatAndLocalTimes) {
    // As Wine does from a Linux environment: the zone name in TZ.
    ASSERT_NE(nullptr, StartRunning({{"TZ", "Europe/Berlin"}}));
    DialIn();
    Traffic(3 * kMegabyte + kMegabyte / 2, kMegabyte / 4);
    HangUp();
    const CConnectionList records = WaitForRecords(1);
    ASSERT_EQ(1u, records.size());
    ASSERT_TRUE(QuitRunning());

    const std::string connections = install.Folder().Read("clog.htm").value_or("");
    const std::string months = install.Folder().Read("mlog.htm").value_or("");
    const bool german = IsGermanRun();
    for (const char* megabytes : {"3,50", "0,25", "3,75"}) {
        std::string expected = megabytes;
        if (!german)
            expected[1] = '.';
        EXPECT_NE(std::string::npos, connections.find(expected)) << expected << "\n" << connections;
        EXPECT_NE(std::string::npos, months.find(expected)) << expected << "\n" << months;
    }
    if (german) { // 24-hour clock: the row shows the start in local time
        EXPECT_NE(std::string::npos, connections.find(LocalClockTime(records.front().m_timeStart)))
            << connections;
    }
}
