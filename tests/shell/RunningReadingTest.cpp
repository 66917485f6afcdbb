// A byte counter read as a 64-bit running total: wraps of a 32-bit counter past 2^32 and
// restarts of the counter, told apart by where the previous reading lay.
#include "shell/RunningReading.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t GiB = std::int64_t(1) << 30;
constexpr std::int64_t RANGE = std::int64_t(1) << 32;

} // namespace

TEST(RunningReading, TheFirstReadingIsTakenAsItIs) {
    CRunningReading reading;
    EXPECT_FALSE(reading.HasReading());
    EXPECT_EQ(0xF0000000LL, reading.Next(0xF0000000u));
    EXPECT_TRUE(reading.HasReading());
}

TEST(RunningReading, RisingReadingsAddTheirDifference) {
    CRunningReading reading;
    reading.Next(1000);
    EXPECT_EQ(1000, reading.Next(1000));
    EXPECT_EQ(5000, reading.Next(5000));
    EXPECT_EQ(0xFFFFFFFFLL, reading.Next(0xFFFFFFFFu));
}

TEST(RunningReading, AFallFromTheTopQuarterIsAWrap) {
    CRunningReading reading;
    reading.Next(0xFFFFF000u);
    EXPECT_EQ(RANGE, reading.Next(0x00000000u));
    EXPECT_EQ(RANGE + 0x11000, reading.Next(0x00011000u));
    // The lowest reading of the top quarter still wraps.
    CRunningReading edge;
    edge.Next(CRunningReading::TOP_QUARTER);
    EXPECT_EQ(RANGE + 5, edge.Next(5));
}

TEST(RunningReading, AFallFromBelowTheTopQuarterIsARestartCountingFromZero) {
    CRunningReading reading;
    reading.Next(0x50000000u);
    EXPECT_EQ(0x50000000LL + 0x2000, reading.Next(0x2000u));
    EXPECT_EQ(0x50000000LL + 0x3000, reading.Next(0x3000u));
    // Just below the top quarter: a restart, never a wrap of almost 1 GiB.
    CRunningReading edge;
    edge.Next(CRunningReading::TOP_QUARTER - 1);
    EXPECT_EQ(std::int64_t(CRunningReading::TOP_QUARTER) - 1 + 5, edge.Next(5));
}

// A counter kept in 64 bits: its fall from beyond 2^32 can only be a restart.
TEST(RunningReading, A64BitCounterPassesTwoToThe32WithoutAWrap) {
    CRunningReading reading;
    reading.Next(0xF0000000u);
    EXPECT_EQ(RANGE + 0x1000, reading.Next(RANGE + 0x1000));
    EXPECT_EQ(RANGE + 0x1000 + 0x2000, reading.Next(0x2000u));
}

TEST(RunningReading, SeveralWrapsAddUp) {
    CRunningReading reading;
    std::uint32_t counter = 0xFFFF0000u;
    const std::int64_t start = reading.Next(counter);
    const std::uint32_t step = 0x10000000u; // 256 MiB, a sixteenth of the range
    for (int i = 0; i < 40; ++i) {
        counter += step;
        reading.Next(counter);
    }
    EXPECT_EQ(start + 10 * GiB, reading.Next(counter));
}

TEST(RunningReading, RestartBeginsANewRunAtTheNextReading) {
    CRunningReading reading;
    reading.Next(0xF0000000u);
    reading.Next(0x00001000u); // wrapped
    reading.Restart();
    EXPECT_FALSE(reading.HasReading());
    EXPECT_EQ(0x2000, reading.Next(0x2000u));
    EXPECT_EQ(0x3000, reading.Next(0x3000u));
}
