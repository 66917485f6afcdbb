// Discovery of the dial-up adapter's byte totals among the PerfStats statistics.
#include "counters/DialUpPerfStatsCounter.h"

#include "DiscoveryTable.h"
#include "PerfStatsTestSource.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>

namespace {

class DialUpPerfStatsCounterTest : public ::testing::Test {
protected:
    PerfStatsTestSource m_stats;
    CDialUpPerfStatsCounter m_counter{m_stats.Source()};
};

// The registry lists components and statistics in the order of their names, whatever the
// order of a row.
struct Statistic {
    const char* component;
    const char* statistic;
};

using DialUpCase = DiscoveryCase<Statistic>;

class DialUpNames : public DialUpPerfStatsCounterTest,
                    public ::testing::WithParamInterface<DialUpCase> {};

const DialUpCase DIAL_UP_NAMES[] = {
    {"TheNetworkingAdapterNameIsAcceptedToo",
     {{"Dial-Up Networking Adapter", "TotalBytesRecvd"},
      {"Dial-Up Networking Adapter", "TotalBytesXmit"}},
     "Dial-Up Networking Adapter\\TotalBytesRecvd",
     "Dial-Up Networking Adapter\\TotalBytesXmit"},
    {"ComponentNamesIgnoreCaseButStatisticNamesDoNot",
     {{"DIAL-UP ADAPTER", "TotalBytesRecvd"}, {"DIAL-UP ADAPTER", "totalbytesxmit"}},
     "DIAL-UP ADAPTER\\TotalBytesRecvd",
     NOT_FOUND},
    {"OnlyTheFirstAdapterListedIsSearched",
     {{"Dial-Up Adapter", "TotalBytesRecvd"},
      {"Dial-Up Networking Adapter", "TotalBytesRecvd"},
      {"Dial-Up Networking Adapter", "TotalBytesXmit"}},
     "Dial-Up Adapter\\TotalBytesRecvd",
     NOT_FOUND}};

} // namespace

TEST_F(DialUpPerfStatsCounterTest, FindsAndReadsBothByteTotals) {
    ASSERT_TRUE(m_stats.AddStatistic("Kernel", "CPUUsage"));
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "TotalBytesRecvd"));
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "TotalBytesXmit"));
    ASSERT_TRUE(m_stats.SetRawValue("Dial-Up Adapter\\TotalBytesRecvd", 0x00BC614E));
    ASSERT_TRUE(m_stats.SetRawValue("Dial-Up Adapter\\TotalBytesXmit", 4711));

    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ("Dial-Up Adapter\\TotalBytesRecvd", FoundPath(m_counter, COUNTER_BYTES_RECEIVED));
    EXPECT_EQ("Dial-Up Adapter\\TotalBytesXmit", FoundPath(m_counter, COUNTER_BYTES_SENT));
    ASSERT_TRUE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    ASSERT_TRUE(m_counter.AddCounter(COUNTER_BYTES_SENT));
    ASSERT_TRUE(m_counter.Collect());
    EXPECT_EQ(12345678u, m_counter.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(4711u, m_counter.GetValue(COUNTER_BYTES_SENT));
}

TEST_P(DialUpNames, FindTheByteTotals) {
    for (const Statistic& added : GetParam().objects)
        ASSERT_TRUE(m_stats.AddStatistic(added.component, added.statistic));
    ExpectDiscovered(m_counter, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Statistics, DialUpNames, ::testing::ValuesIn(DIAL_UP_NAMES), RowName());

TEST_F(DialUpPerfStatsCounterTest, WithoutTheEnumKeyOpenSucceedsAndAddFails) {
    EXPECT_TRUE(m_counter.Open());
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_SENT));
    EXPECT_FALSE(m_counter.Collect());
}

TEST_F(DialUpPerfStatsCounterTest, AFoundStatisticWithoutDescriptionIsNotAdded) {
    ASSERT_TRUE(m_stats.AddStatisticWithoutDescription("Dial-Up Adapter", "TotalBytesRecvd"));
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ("Dial-Up Adapter\\TotalBytesRecvd", FoundPath(m_counter, COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
}

TEST_F(DialUpPerfStatsCounterTest, OnCounterGoesOnUntilBothIdsHaveAPath) {
    EXPECT_TRUE(m_counter.OnCounter("Dial-Up Adapter", "BytesRecvd"));
    EXPECT_TRUE(m_counter.OnCounter("Dial-Up Adapter", "TotalBytesXmit"));
    EXPECT_TRUE(m_counter.OnCounter("Dial-Up Adapter", "TotalBytesXmit"));
    EXPECT_FALSE(m_counter.OnCounter("Dial-Up Adapter", "TotalBytesRecvd"));
    EXPECT_FALSE(m_counter.OnCounter("Dial-Up Adapter", "Other"));
}

TEST_F(DialUpPerfStatsCounterTest, OnObjectStopsTheListOnlyAtAMatch) {
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "TotalBytesXmit"));
    EXPECT_TRUE(m_counter.OnObject("Kernel"));
    EXPECT_TRUE(m_counter.OnObject("Dial-Up"));
    EXPECT_EQ(nullptr, m_counter.FindPath(COUNTER_BYTES_SENT));
    EXPECT_FALSE(m_counter.OnObject("dial-up adapter"));
    EXPECT_EQ("dial-up adapter\\TotalBytesXmit", FoundPath(m_counter, COUNTER_BYTES_SENT));
}

TEST_F(DialUpPerfStatsCounterTest, OnInstanceIsTheBasesAlwaysTrue) {
    EXPECT_TRUE(m_counter.OnInstance("Dial-Up Adapter", "0"));
}

// The system's own places: the local machine's PerfStats\Enum and HKEY_DYN_DATA\PerfStats.
// No other test touches them.
TEST(DialUpPerfStatsCounterSystem, ReadsTheSystemsPerfStatsKeys) {
    static const char ENUM_KEY[] = "System\\CurrentControlSet\\control\\PerfStats\\Enum";
    static const char ADAPTER_KEY[] =
        "System\\CurrentControlSet\\control\\PerfStats\\Enum\\Dial-Up Adapter";
    struct Cleanup {
        ~Cleanup() {
            SHDeleteKeyA(HKEY_LOCAL_MACHINE, ADAPTER_KEY);
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, ENUM_KEY); // only when no one else left anything
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\control\\PerfStats");
            SHDeleteKeyA(HKEY_DYN_DATA, "PerfStats");
        }
    } cleanup;
    for (const char* statistic : {"TotalBytesRecvd", "TotalBytesXmit"}) {
        const std::string path = std::string(ADAPTER_KEY) + "\\" + statistic;
        ASSERT_EQ(ERROR_SUCCESS, SHSetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "Differentiate",
                                             REG_SZ, "FALSE", 6));
    }
    HKEY data = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &data, nullptr));
    const DWORD received = 81920, sent = 16384;
    RegSetValueExA(data, "Dial-Up Adapter\\TotalBytesRecvd", 0, REG_BINARY,
                   reinterpret_cast<const BYTE*>(&received), 4);
    RegSetValueExA(data, "Dial-Up Adapter\\TotalBytesXmit", 0, REG_BINARY,
                   reinterpret_cast<const BYTE*>(&sent), 4);
    RegCloseKey(data);

    CDialUpPerfStatsCounter counter;
    EXPECT_TRUE(counter.Open());
    EXPECT_TRUE(counter.AddCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_TRUE(counter.AddCounter(COUNTER_BYTES_SENT));
    EXPECT_TRUE(counter.Collect());
    EXPECT_EQ(81920u, counter.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(16384u, counter.GetValue(COUNTER_BYTES_SENT));
}
