// The running period at its own seams: what a cut books and what the next period counts from,
// and when a sample is due in "clog.run".
#include "log/CRunningPeriod.h"
#include "support/ScopedClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr TIME64 kStart = 1767225600; // 2026-01-01 00:00 UTC
constexpr std::int64_t MISSING = CRunningPeriod::MISSING_READING;
constexpr std::int64_t KEEPS = CRunningPeriod::READING_KEEPS_VOLUME;

struct CutCase {
    const char* name;
    std::int64_t startReceived, startSent;
    std::int64_t lastReceived, lastSent; // the update before the cut
    std::int64_t nextReceived, nextSent; // the first update after it
    std::int64_t bookedReceived, bookedSent;
    std::int64_t nextVolumeReceived, nextVolumeSent;
};

const CutCase kCutCases[] = {
    {"PlainReadings", 1000, 500, 3000, 800, 3500, 900, 2000, 300, 500, 100},
    {"MissingStartTakesTheFirstUpdate", MISSING, MISSING, 3000, 800, 3500, 900, 0, 0, 500, 100},
    {"ACounterReadingZeroKeepsItsLastVolume", 1000, 500, KEEPS, 800, 1700, 900, 0, 300, 700, 100},
};

class RunningPeriodCut : public ::testing::TestWithParam<CutCase> {};

} // namespace

// What ran up to the last sample is booked with its length; what the counters move after it
// belongs to the next period, which begins at the cut.
TEST_P(RunningPeriodCut, BooksUpToTheLastSampleAndCountsOnFromItsReadings) {
    const CutCase& row = GetParam();
    ScopedClock clock(kStart);
    CRunningPeriod period;
    period.Start(row.startReceived, row.startSent);
    clock.Advance(20);
    period.Update(row.lastReceived, row.lastSent);
    clock.Advance(600); // a gap: nothing sampled
    const CConnectionInfo booked = period.Cut();
    EXPECT_EQ(kStart, booked.m_timeStart);
    EXPECT_EQ(20, booked.m_nDuration);
    EXPECT_EQ(row.bookedReceived, booked.m_nReceived);
    EXPECT_EQ(row.bookedSent, booked.m_nSent);

    ASSERT_TRUE(period.IsRunning());
    clock.Advance(5);
    period.Update(row.nextReceived, row.nextSent);
    const CConnectionInfo next = period.End();
    EXPECT_EQ(kStart + 620, next.m_timeStart);
    EXPECT_EQ(5, next.m_nDuration);
    EXPECT_EQ(row.nextVolumeReceived, next.m_nReceived);
    EXPECT_EQ(row.nextVolumeSent, next.m_nSent);
    EXPECT_FALSE(period.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Cut, RunningPeriodCut, ::testing::ValuesIn(kCutCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Samples five seconds apart: the first is due, then one per interval, a sample within a second
// of the interval's end counting as at it.
TEST(RunningPeriodCheckpoint, FirstSampleThenOncePerInterval) {
    struct Row {
        unsigned nIntervalSeconds;
        TIME64 sampleSeconds;
        std::vector<int> dueSamples; // of the first 26 (0: the first update)
    };
    const Row rows[] = {
        {60, 5, {0, 12, 24}},
        {5, 5, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
        {62, 5, {0, 13}},
        {0, 5, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.nIntervalSeconds);
        ScopedClock clock(kStart);
        CRunningPeriod period;
        period.SetCheckpointInterval(row.nIntervalSeconds);
        period.Start(0, 0);
        std::vector<int> due;
        for (int sample = 0; sample < 26; ++sample) {
            if (sample > 0)
                clock.Advance(row.sampleSeconds);
            period.Update(100, 100);
            if (period.IsCheckpointDue()) {
                due.push_back(sample);
                period.CheckpointTaken();
            }
        }
        EXPECT_EQ(row.dueSamples, due);
    }
}
