// The PerfStats back end's base: statistics added by path, sampled from the dynamic-data root.
#include "counters/PerfStatsReader.h"

#include "CountersTestResources.h"
#include "PerfStatsTestSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string RECEIVED = "Dial-Up Adapter\\TotalBytesRecvd";
const std::string SENT = "Dial-Up Adapter\\TotalBytesXmit";
const std::string RATE = "Dial-Up Adapter\\BytesRecvd";

// Records the enumeration callbacks and every start and stop with its result.
class RecordingPerfStatsReader : public CPerfStatsReader {
public:
    using CPerfStatsReader::CPerfStatsReader;
    ~RecordingPerfStatsReader() override { Close(); }

    BOOL AddCounter(DWORD) override { return FALSE; }
    BOOL OnObject(const char* szObject) override {
        events.push_back("object " + std::string(szObject));
        return ++objects < objectLimit;
    }
    BOOL OnCounter(const char* szObject, const char* szCounter) override {
        events.push_back("counter " + std::string(szObject) + "/" + szCounter);
        return ++counters < counterLimit;
    }
    BOOL StartStop(DWORD dwId, bool bStart) override {
        const BOOL bRead = CPerfStatsReader::StartStop(dwId, bStart);
        events.push_back(std::string(bStart ? "start " : "stop ") + std::to_string(dwId) +
                         (bRead ? " read" : " unread"));
        return bRead;
    }

    std::vector<std::string> events;
    int objects = 0, counters = 0;
    int objectLimit = 100, counterLimit = 100;
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

TEST_F(PerfStatsReaderTest, ARateIsTheGrowthPerSecondBetweenTwoSamples) {
    ASSERT_TRUE(m_reader.AddCounterByPath(1, RATE.c_str()));
    m_stats.SetTick(50000);
    ASSERT_TRUE(m_reader.Collect());
    ASSERT_TRUE(m_stats.SetRawValue(RATE, 105000));
    m_stats.SetTick(52000);
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_EQ(2500u, m_reader.GetValue(1));
}

TEST_F(PerfStatsReaderTest, ARateRoundsToTheNearestWholeNumber) {
    ASSERT_TRUE(m_reader.AddCounterByPath(1, RATE.c_str()));
    m_stats.SetTick(1000);
    ASSERT_TRUE(m_reader.Collect());
    ASSERT_TRUE(m_stats.SetRawValue(RATE, 105000));
    m_stats.SetTick(4000);
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_EQ(1667u, m_reader.GetValue(1)); // 5000 in 3 s
}

TEST_F(PerfStatsReaderTest, ARateAcrossTheWrapOfBothCountersIsStillTheGrowth) {
    ASSERT_TRUE(m_stats.SetRawValue(RATE, 0xFFFFF000));
    ASSERT_TRUE(m_reader.AddCounterByPath(1, RATE.c_str()));
    m_stats.SetTick(0xFFFFFC18); // 1000 ms before the tick count wraps
    ASSERT_TRUE(m_reader.Collect());
    ASSERT_TRUE(m_stats.SetRawValue(RATE, 0x00000388)); // 5000 more
    m_stats.SetTick(1000);
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_EQ(2500u, m_reader.GetValue(1));
}

TEST_F(PerfStatsReaderTest, ARateWithoutElapsedTimeHasNoValue) {
    ASSERT_TRUE(m_reader.AddCounterByPath(1, RATE.c_str()));
    m_stats.SetTick(7000);
    ASSERT_TRUE(m_reader.Collect());
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_EQ(COUNTER_NO_VALUE, m_reader.GetValue(1));
}

TEST_F(PerfStatsReaderTest, ARateOutsideTheSigned32BitRangeHasNoValue) {
    ASSERT_TRUE(m_stats.SetRawValue(RATE, 0));
    ASSERT_TRUE(m_reader.AddCounterByPath(1, RATE.c_str()));
    m_stats.SetTick(1000);
    ASSERT_TRUE(m_reader.Collect());
    ASSERT_TRUE(m_stats.SetRawValue(RATE, 0x7FFFFFFF));
    m_stats.SetTick(1001);
    ASSERT_TRUE(m_reader.Collect());
    EXPECT_EQ(COUNTER_NO_VALUE, m_reader.GetValue(1));
}

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
    EXPECT_TRUE(m_reader.EnumObjects());
    EXPECT_EQ((std::vector<std::string>{"object Dial-Up Adapter", "object Kernel", "object VFAT"}),
              m_reader.events);
    m_reader.events.clear();
    m_reader.objects = 0;
    m_reader.objectLimit = 1;
    EXPECT_TRUE(m_reader.EnumObjects());
    EXPECT_EQ(std::vector<std::string>{"object Dial-Up Adapter"}, m_reader.events);
}

TEST_F(PerfStatsReaderTest, EnumObjectItemsListsTheStatisticsUntilFalse) {
    EXPECT_TRUE(m_reader.EnumObjectItems("Dial-Up Adapter"));
    EXPECT_EQ((std::vector<std::string>{"counter Dial-Up Adapter/BytesRecvd",
                                        "counter Dial-Up Adapter/TotalBytesRecvd",
                                        "counter Dial-Up Adapter/TotalBytesXmit"}),
              m_reader.events);
    m_reader.events.clear();
    m_reader.counterLimit = 1;
    m_reader.counters = 0;
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
