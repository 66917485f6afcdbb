#include "RecordFields.h"
#include "log/CConnectionInfo.h"
#include "support/ScopedClock.h"

#include <gtest/gtest.h>

namespace {

void SetStartReadings(CConnectionInfo& info, std::int64_t received, std::int64_t sent) {
    info.m_nReceivedStart = received;
    info.m_nSentStart = sent;
}

} // namespace

TEST(ConnectionInfo, NewRecordStartsNowWithEverythingElseZero) {
    ScopedClock clock(0x3C46A0A0);
    const CConnectionInfo info;
    ExpectRecord(info, {0x3C46A0A0, 0, 0, 0, 0, 0});
}

TEST(ConnectionInfo, AssignmentKeepsTheTargetsStartReadings) {
    CConnectionInfo running(0x3C46A0A0, 3723, 1572864, 262144);
    SetStartReadings(running, 100, 200);
    CConnectionInfo target(1, 2, 3, 4);
    SetStartReadings(target, 7, 8);

    target = running;
    ExpectRecord(target, {0x3C46A0A0, 3723, 1572864, 262144, 7, 8});
}

TEST(ConnectionInfo, CopyLeavesTheStartReadingsBehind) {
    CConnectionInfo running(0x3C46A0A0, 3723, 1572864, 262144);
    SetStartReadings(running, 100, 200);
    const CConnectionInfo copy(running);
    ExpectRecord(copy, {0x3C46A0A0, 3723, 1572864, 262144, 0, 0});
}

// The tests run with TZ=Europe/Berlin: the month is that of local time, not of UTC.
TEST(ConnectionInfoMonth, MonthOfTheStartInLocalTime) {
    EXPECT_EQ(1, CConnectionInfo(0x3C46A0A0, 0, 0, 0).GetMonth());  // 2002-01-17
    EXPECT_EQ(12, CConnectionInfo(1040688000, 0, 0, 0).GetMonth()); // 2002-12-24 00:00 UTC
    // 2001-12-31 23:30 UTC is already 00:30 on New Year's Day in Berlin.
    EXPECT_EQ(1, CConnectionInfo(1009841400, 0, 0, 0).GetMonth());
    // 2002-03-31 21:50 UTC is 23:50 summer time on 31 March.
    EXPECT_EQ(3, CConnectionInfo(1017611400, 0, 0, 0).GetMonth());
}

TEST(ConnectionInfoMonth, MonthAfter2038) {
    EXPECT_EQ(8, CConnectionInfo(0xF0000000LL, 0, 0, 0).GetMonth()); // 2097-08-05
}
