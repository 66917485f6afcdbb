// The PerfStats back end's base: statistics added by path, sampled from the dynamic-data root.
#include "counters/PerfStatsReader.h"

#include "CountersTestResources.h"
#include "PerfStatsTestSource.h"
#include "RecordingCounter.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string RECEIVED = "Dial-Up Adapter\\TotalBytesRecvd";
const std::string SENT = "Dial-Up Adapter\\TotalBytesXmit";
const std::string RATE = "Dial-Up Adapter\\BytesRecvd";

// Records every start and stop with its result besides the enumeration callbacks.
class RecordingPerfStatsReader : public RecordingCounter<CPerfStatsReader> {
public:
    using RecordingCounter::RecordingCounter;
    // Stops the statistics while the recording StartStop still answers.
    ~RecordingPerfStatsReader() override { Close(); }

    BOOL StartStop(DWORD dwId, bool bStart) override {
        const BOOL bRead = CPerfStatsReader::StartStop(dwId, bStart);
        events.push_back(std::string(bStart ? "start " : "stop ") + std::to_string(dwId) +
                         (bRead ? " read" : " unread"));
        return bRead;
    }
};

class PerfStatsReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "TotalBytesRecvd"));
        ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "TotalBytesXmit", "false"));
        ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "BytesRecvd", "True"));
        ASSERT_TRUE(m_stats.SetRawValue(RECEIVED, 10000));
        ASSERT_TRUE(m_stats.SetRawValue(SENT, 2000));
        ASSERT_TRUE(m_stats.SetRawValue(RATE, 100000));
    }

    PerfStatsTestSource m_stats;
    RecordingPerfStatsReader m_reader{m_stats.Source()};
};

// Two samples of a statistic that is reported as growth per second.
struct RateCase {
    const char* name;
    DWORD dwFirstValue, dwFirstTick;
    DWORD dwSecondValue, dwSecondTick;
    DWORD dwRate;
};

void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.name;
}

class PerfStatsRate : public PerfStatsReaderTest, public ::testing::WithParamInterface<RateCase> {};

const RateCase RATES[] = {
    {"IsTheGrowthPerSecond", 100000, 50000, 105000, 52000, 2500},
    {"RoundsToTheNearestWholeNumber", 100000, 1000, 105000, 4000, 1667}, // 5000 in 3 s
    // 5000 more, from 1000 ms before the tick count wraps to 1000 ms after
    {"AcrossTheWrapOfBothCountersIsStillTheGrowth", 0xFFFFF000, 0xFFFFFC18, 0x00000388, 1000, 2500},
    {"WithoutElapsedTimeHasNoValue", 100000, 7000, 100000, 7000, COUNTER_NO_VALUE},
    {"OutsideTheSigned32BitRangeHasNoValue", 0, 1000, 0x7FFFFFFF, 1001, COUNTER_NO_VALUE}};

} // namespace

TEST_F(PerfStatsReaderTest, OpenHasNothingToOpen) {
    EXPECT_TRUE(m_reader.Open());
}

TEST_F(PerfStatsReaderTest, CollectedRawValuesAreReadPerId) {
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_SENT, SENT.c_str()));
    EXPECT_TRUE(m_reader.Collect());
    EXPECT_EQ(10000u, m_reader.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(2000u, m_reader.GetValue(COUNTER_BYTES_SENT));
}

TEST_F(PerfStatsReaderTest, GetValueBeforeTheFirstSampleIsZeroOrNoValueForARate) {
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_reader.AddCounterByPath(1, RATE.c_str()));
    EXPECT_EQ(0u, m_reader.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(COUNTER_NO_VALUE, m_reader.GetValue(1));
}

TEST_F(PerfStatsReaderTest, GetValueOfAnIdNeverAddedIsNoValue) {
    EXPECT_EQ(0xFFFFFFFFu, m_reader.GetValue(COUNTER_BYTES_SENT));
}

TEST_P(PerfStatsRate, OfTwoSamples) {
    const RateCase& c = GetParam();
    ASSERT_TRUE(m_stats.SetRawValue(RATE, c.dwFirstValue));
    ASSERT_TRUE(m_reader.AddCounterByPath(1, RATE.c_str()));
    m_stats.SetTick(c.dwFirstTick);
    ASSERT_TRUE(m_reader.Collect());
    ASSERT_TRUE(m_stats.SetRawValue(RATE, c.dwSecondValue));
    m_stats.SetTick(c.dwSecondTick);
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_EQ(c.dwRate, m_reader.GetValue(1));
}

INSTANTIATE_TEST_SUITE_P(Samples, PerfStatsRate, ::testing::ValuesIn(RATES), RowName());

TEST_F(PerfStatsReaderTest, AValueOfTheWrongSizeOrTypeKeepsThePreviousSample) {
    ASSERT_TRUE(m_reader.AddCounterByPath(1, RATE.c_str()));
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    m_stats.SetTick(1000);
    ASSERT_TRUE(m_reader.Collect());
    ASSERT_TRUE(m_stats.SetRawValue(RATE, 104000));
    m_stats.SetTick(3000);
    ASSERT_TRUE(m_reader.Collect());
    ASSERT_EQ(2000u, m_reader.GetValue(1));

    const ULONGLONG wide = 999999;
    ASSERT_TRUE(m_stats.SetData(RATE, REG_BINARY, &wide, 8));
    ASSERT_TRUE(m_stats.SetData(RECEIVED, REG_SZ, "1234", 5));
    m_stats.SetTick(5000);
    EXPECT_TRUE(m_reader.Collect()) << "TRUE even when every read fails";
    EXPECT_EQ(2000u, m_reader.GetValue(1)) << "samples and ticks unchanged";
    EXPECT_EQ(10000u, m_reader.GetValue(COUNTER_BYTES_RECEIVED));
}

TEST_F(PerfStatsReaderTest, CollectWithoutCountersFails) {
    EXPECT_FALSE(m_reader.Collect());
}

TEST_F(PerfStatsReaderTest, AStatisticWithoutDescriptionIsRefused) {
    ASSERT_TRUE(m_stats.AddStatisticWithoutDescription("Dial-Up Adapter", "Undescribed"));
    EXPECT_FALSE(m_reader.AddCounterByPath(1, "Dial-Up Adapter\\Undescribed"));
    EXPECT_FALSE(m_reader.AddCounterByPath(2, "Dial-Up Adapter\\Absent"));
    EXPECT_FALSE(m_reader.Collect());
    EXPECT_TRUE(m_reader.events.empty()) << "nothing started";
}

TEST_F(PerfStatsReaderTest, AddingStartsTheStatisticByReadingItsStartValue) {
    ASSERT_TRUE(m_stats.AllowStartStop(RECEIVED, true));
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_SENT, SENT.c_str()));
    EXPECT_EQ((std::vector<std::string>{"start 202 read", "start 203 unread"}), m_reader.events)
        << "a failed start is ignored";
}

TEST_F(PerfStatsReaderTest, RemoveCounterStopsTheStatisticThenDropsIt) {
    ASSERT_TRUE(m_stats.AllowStartStop(RECEIVED, false));
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_reader.Collect());
    m_reader.events.clear();
    EXPECT_TRUE(m_reader.RemoveCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(std::vector<std::string>{"stop 202 read"}, m_reader.events);
    EXPECT_EQ(COUNTER_NO_VALUE, m_reader.GetValue(COUNTER_BYTES_RECEIVED));
}

TEST_F(PerfStatsReaderTest, RemoveCounterOfAnUnknownIdFailsAndReadsNothing) {
    EXPECT_FALSE(m_reader.RemoveCounter(COUNTER_BYTES_SENT));
    EXPECT_TRUE(m_reader.events.empty());
}

TEST_F(PerfStatsReaderTest, StartStopOfAnUnknownIdDoesNothing) {
    ASSERT_TRUE(m_stats.AllowStartStop(RECEIVED, true));
    EXPECT_FALSE(m_reader.StartStop(COUNTER_BYTES_RECEIVED, true));
}

TEST_F(PerfStatsReaderTest, CloseStopsAndDropsEveryStatistic) {
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_SENT, SENT.c_str()));
    m_reader.events.clear();
    m_reader.Close();
    EXPECT_EQ(2u, m_reader.events.size());
    EXPECT_FALSE(m_reader.Collect());
    EXPECT_EQ(COUNTER_NO_VALUE, m_reader.GetValue(COUNTER_BYTES_SENT));
}

TEST_F(PerfStatsReaderTest, AddingAnIdAgainStartsItsSamplesAfresh) {
    ASSERT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_TRUE(m_reader.AddCounterByPath(COUNTER_BYTES_RECEIVED, SENT.c_str()));
    EXPECT_EQ(0u, m_reader.GetValue(COUNTER_BYTES_RECEIVED));
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_EQ(2000u, m_reader.GetValue(COUNTER_BYTES_RECEIVED));
}

TEST_F(PerfStatsReaderTest, AddCounterFromResourceTakesThePathFromTheStringTable) {
    EXPECT_TRUE(m_reader.AddCounterFromResource(COUNTER_BYTES_RECEIVED, IDS_TEST_PERFSTAT_PATH));
    EXPECT_FALSE(m_reader.AddCounterFromResource(COUNTER_BYTES_SENT, IDS_TEST_MISSING));
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_EQ(10000u, m_reader.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(COUNTER_NO_VALUE, m_reader.GetValue(COUNTER_BYTES_SENT));
}

TEST_F(PerfStatsReaderTest, GetCounterNameAnswersOnlyForANonEmptyName) {
    std::string name = "kept";
    EXPECT_FALSE(m_reader.GetCounterName(COUNTER_BYTES_SENT, name));
    m_reader.SetCounterName(COUNTER_BYTES_SENT, "");
    EXPECT_FALSE(m_reader.GetCounterName(COUNTER_BYTES_SENT, name));
    m_reader.SetCounterName(COUNTER_BYTES_SENT, "Gesendet");
    EXPECT_TRUE(m_reader.GetCounterName(COUNTER_BYTES_SENT, name));
    EXPECT_EQ("Gesendet", name);
}

TEST_F(PerfStatsReaderTest, EnumObjectsListsTheComponentsUntilFalse) {
    ASSERT_TRUE(m_stats.AddStatistic("Kernel", "CPUUsage"));
    ASSERT_TRUE(m_stats.AddStatistic("VFAT", "BReadsSec"));
    ExpectObjectWalks(m_reader, {"object Dial-Up Adapter", "object Kernel", "object VFAT"}, 1,
                      {"object Dial-Up Adapter"});
}

TEST_F(PerfStatsReaderTest, EnumObjectItemsListsTheStatisticsUntilFalse) {
    EXPECT_TRUE(m_reader.EnumObjectItems("Dial-Up Adapter"));
    EXPECT_EQ((std::vector<std::string>{"counter Dial-Up Adapter/BytesRecvd",
                                        "counter Dial-Up Adapter/TotalBytesRecvd",
                                        "counter Dial-Up Adapter/TotalBytesXmit"}),
              m_reader.events);
    m_reader.StopCountersAfter(1);
    EXPECT_TRUE(m_reader.EnumObjectItems("Dial-Up Adapter"));
    EXPECT_EQ(1u, m_reader.events.size());
}

TEST_F(PerfStatsReaderTest, EnumerationsOfMissingKeysSucceedEmpty) {
    EXPECT_TRUE(m_reader.EnumObjectItems("No Such Component"));
    PerfStatsTestSource empty;
    RecordingPerfStatsReader reader(empty.Source());
    EXPECT_TRUE(reader.EnumObjects());
    EXPECT_TRUE(m_reader.events.empty());
    EXPECT_TRUE(reader.events.empty());
}

TEST_F(PerfStatsReaderTest, StatisticsHaveNoInstances) {
    EXPECT_FALSE(m_reader.EnumObjectInstances("Dial-Up Adapter"));
    EXPECT_TRUE(m_reader.OnInstance("Dial-Up Adapter", "0"));
    EXPECT_TRUE(m_reader.events.empty());
}
