#include "log/CConnectionInfo.h"
#include "support/ScopedClock.h"

#include <gtest/gtest.h>

TEST(ConnectionInfo, NewRecordStartsNowWithEverythingElseZero) {
    ScopedClock clock(0x3C46A0A0);
    const CConnectionInfo info;
    EXPECT_EQ(0x3C46A0A0, info.m_timeStart);
    EXPECT_EQ(0, info.m_nDuration);
    EXPECT_EQ(0, info.m_nReceived);
    EXPECT_EQ(0, info.m_nSent);
    EXPECT_EQ(0, info.m_nReceivedStart);
    EXPECT_EQ(0, info.m_nSentStart);
}

TEST(ConnectionInfo, AssignmentKeepsTheTargetsStartReadings) {
    CConnectionInfo running(0x3C46A0A0, 3723, 1572864, 262144);
    running.m_nReceivedStart = 100;
    running.m_nSentStart = 200;
    CConnectionInfo target(1, 2, 3, 4);
    target.m_nReceivedStart = 7;
    target.m_nSentStart = 8;

    target = running;
    EXPECT_EQ(0x3C46A0A0, target.m_timeStart);
    EXPECT_EQ(3723, target.m_nDuration);
    EXPECT_EQ(1572864, target.m_nReceived);
    EXPECT_EQ(262144, target.m_nSent);
    EXPECT_EQ(7, target.m_nReceivedStart);
    EXPECT_EQ(8, target.m_nSentStart);
}

TEST(ConnectionInfo, CopyLeavesTheStartReadingsBehind) {
    CConnectionInfo running(0x3C46A0A0, 3723, 1572864, 262144);
    running.m_nReceivedStart = 100;
    running.m_nSentStart = 200;
    const CConnectionInfo copy(running);
    EXPECT_EQ(0x3C46A0A0, copy.m_timeStart);
    EXPECT_EQ(262144, copy.m_nSent);
    EXPECT_EQ(0, copy.m_nReceivedStart);
    EXPECT_EQ(0, copy.m_nSentStart);
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
