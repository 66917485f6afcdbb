#include "log/Clock.h"
#include "support/ScopedClock.h"

#include <gtest/gtest.h>

#include <ctime>

TEST(Clock, SystemClockByDefault) {
    const TIME64 before = _time64(nullptr);
    const TIME64 now = Clock::Now();
    EXPECT_LE(before, now);
    EXPECT_LE(now, _time64(nullptr));
}

TEST(Clock, TestClockAndRestore) {
    {
        ScopedClock clock(0x3C46A0A0);
        EXPECT_EQ(0x3C46A0A0, Clock::Now());
        clock.Advance(60);
        EXPECT_EQ(0x3C46A0DC, Clock::Now());
    }
    EXPECT_GT(Clock::Now(), 0x5A000000); // the system clock again (after 2017)
}

TEST(Clock, FileTimeIsUnsignedAndHeldAtItsEnds) {
    EXPECT_EQ(0x80000000u, Clock::ToFileTime(0x80000000LL));
    EXPECT_EQ(0xFFFFFFFFu, Clock::ToFileTime(0xFFFFFFFFLL));
    EXPECT_EQ(0xFFFFFFFFu, Clock::ToFileTime(0x100000000LL));
    EXPECT_EQ(0u, Clock::ToFileTime(-1));
    EXPECT_EQ(0xF0000000LL, Clock::FromFileTime(0xF0000000u));
}
