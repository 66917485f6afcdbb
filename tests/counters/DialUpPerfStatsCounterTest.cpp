// Discovery of the dial-up adapter's byte totals among the PerfStats statistics.
#include "counters/DialUpPerfStatsCounter.h"

#include "PerfStatsTestSource.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>

namespace {

class DialUpPerfStatsCounterTest : public ::testing::Test {
protected:
    std::string PathOf(DWORD dwId) const {
        const std::string* path = m_counter.FindPath(dwId);
        return path ? *path : std::string("<none>");
    }

    PerfStatsTestSource m_stats;
    CDialUpPerfStatsCounter m_counter{m_stats.Source()};
};

} // namespace

TEST_F(DialUpPerfStatsCounterTest, FindsAndReadsBothByteTotals) {
    ASSERT_TRUE(m_stats.AddStatistic("Kernel", "CPUUsage"));
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "TotalBytesRecvd"));
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "TotalBytesXmit"));
    ASSERT_TRUE(m_stats.SetRawValue("Dial-Up Adapter\\TotalBytesRecvd", 0x00BC614E));
    ASSERT_TRUE(m_stats.SetRawValue("Dial-Up Adapter\\TotalBytesXmit", 4711));

    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ("Dial-Up Adapter\\TotalBytesRecvd", PathOf(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ("Dial-Up Adapter\\TotalBytesXmit", PathOf(COUNTER_BYTES_SENT));
    ASSERT_TRUE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    ASSERT_TRUE(m_counter.AddCounter(COUNTER_BYTES_SENT));
    ASSERT_TRUE(m_counter.Collect());
    EXPECT_EQ(12345678u, m_counter.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(4711u, m_counter.GetValue(COUNTER_BYTES_SENT));
}

TEST_F(DialUpPerfStatsCounterTest, TheNetworkingAdapterNameIsAcceptedToo) {
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Networking Adapter", "TotalBytesRecvd"));
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Networking Adapter", "TotalBytesXmit"));
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ("Dial-Up Networking Adapter\\TotalBytesXmit", PathOf(COUNTER_BYTES_SENT));
}

TEST_F(DialUpPerfStatsCounterTest, ComponentNamesIgnoreCaseButStatisticNamesDoNot) {
    ASSERT_TRUE(m_stats.AddStatistic("DIAL-UP ADAPTER", "TotalBytesRecvd"));
    ASSERT_TRUE(m_stats.AddStatistic("DIAL-UP ADAPTER", "totalbytesxmit"));
    ASSERT_TRUE(m_counter.Open());
    EXPECT_TRUE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_SENT));
}

TEST_F(DialUpPerfStatsCounterTest, OnlyTheFirstAdapterListedIsSearched) {
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Adapter", "TotalBytesRecvd"));
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Networking Adapter", "TotalBytesRecvd"));
    ASSERT_TRUE(m_stats.AddStatistic("Dial-Up Networking Adapter", "TotalBytesXmit"));
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ("Dial-Up Adapter\\TotalBytesRecvd", PathOf(COUNTER_BYTES_RECEIVED));
    EXPECT_TRUE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_SENT));
}

TEST_F(DialUpPerfStatsCounterTest, WithoutTheEnumKeyOpenSucceedsAndAddFails) {
    EXPECT_TRUE(m_counter.Open());
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_SENT));
    EXPECT_FALSE(m_counter.Collect());
}

TEST_F(DialUpPerfStatsCounterTest, AFoundStatisticWithoutDescriptionIsNotAdded) {
    ASSERT_TRUE(m_stats.AddStatisticWithoutDescription("Dial-Up Adapter", "TotalBytesRecvd"));
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ("Dial-Up Adapter\\TotalBytesRecvd", PathOf(COUNTER_BYTES_RECEIVED));
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
    EXPECT_EQ("dial-up adapter\\TotalBytesXmit", PathOf(COUNTER_BYTES_SENT));
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
