// One online period the whole way: the simulator's connection and byte counters, the watcher's
// reports, the PDH byte counter and the accounting, into the log. The receive counter passes
// 2 GiB and 4 GiB on the way, and each row plays an answer of the system that the program must
// take in its stride.
#include "ReportWindow.h"

#include "shell/AccountingFakes.h"
#include "shell/ShellCallLog.h"

#include "counters/TrafficCounterFactory.h"
#include "log/LogFolderTest.h"
#include "resource.h"
#include "shell/CConnectionAccounting.h"
#include "ras/CRasWatcher.h"
#include "shell/CTrayIcon.h"
#include "support/DialupSimState.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

namespace {

struct SystemAnswer {
    const char* name;
    std::vector<std::pair<const char*, const char*>> keys;
};

void PrintTo(const SystemAnswer& row, std::ostream* os) {
    *os << row.name;
}

const SystemAnswer SYSTEM_ANSWERS[] = {
    {"Counter32BitsWraps", {}},
    {"Counter64Bits", {{"counter_bits", "64"}}},
    {"LongFormatClamps", {{"pdh_long", "clamp"}}},
    {"LongFormatFails64Bits", {{"counter_bits", "64"}, {"pdh_long", "error"}}},
    {"NewDataStatus", {{"pdh_cstatus", "new"}}},
    {"ListSizesOneShort", {{"pdh_size_short", "1"}}},
};

constexpr unsigned long long GiB = 1ull << 30;

} // namespace

class OnlinePeriodThroughTheSimulator : public LogFolderTest,
                                        public ::testing::WithParamInterface<SystemAnswer> {
protected:
    // Hands the watcher's next report to the accounting, as the frame's message map does.
    WatcherReport Deliver(CConnectionAccounting& accounting) {
        const WatcherReport report = m_window.NextReport(8000);
        if (report.lParam >= 0)
            accounting.OnConnectionsChanged(report.wParam, report.lParam);
        return report;
    }

    // One measuring tick with the counters at these totals.
    void Tick(CConnectionAccounting& accounting, unsigned long long received, int sent) {
        m_sim.Set("received", received);
        m_sim.Set("sent", sent);
        m_clock.Advance(5);
        accounting.OnTimer(IDT_MEASURE);
    }

    DialupSimState m_sim;
    ReportWindow m_window;
};

TEST_P(OnlinePeriodThroughTheSimulator, IsRecordedWithTheExactVolume) {
    ASSERT_TRUE(IsNtFamily()); // Wine answers as an NT system: the PDH back end
    for (const auto& key : GetParam().keys)
        m_sim.Set(key.first, key.second);
    m_sim.Set("received", 2 * GiB - 1 * MB);
    m_sim.Set("sent", 5000);
    std::unique_ptr<CTrafficCounter> counter = CreateTrafficCounter();
    ASSERT_TRUE(counter->Open());
    ASSERT_TRUE(counter->AddCounter(COUNTER_BYTES_RECEIVED));
    ASSERT_TRUE(counter->AddCounter(COUNTER_BYTES_SENT));

    WriteRecentMonthFile();
    CConnectionLog log(m_folder.Path());
    ShellCallLog shell;
    CTrayIcon tray(&ShellCallLog::Accept);
    CConnectionAccounting accounting(log, tray, FakeTimer::CALLS);
    accounting.SetWindow(m_window.Handle());
    accounting.SetCounter(counter.get());
    CRasWatcher watcher;
    ASSERT_TRUE(watcher.Start(m_window.Handle(), WM_CONNECTIONS_CHANGED));

    EXPECT_EQ(0, Deliver(accounting).lParam);
    m_sim.Set("connections", 1);
    EXPECT_EQ(1, Deliver(accounting).lParam);
    EXPECT_TRUE(accounting.IsConnected());

    Tick(accounting, 3 * GiB + 1 * MB, 5000 + 1000); // past 2 GiB, in the top quarter
    Tick(accounting, 4 * GiB + 1 * MB, 5000 + 3000); // past 4 GiB

    m_sim.Set("connections", 0);
    EXPECT_EQ(0, Deliver(accounting).lParam);
    EXPECT_FALSE(accounting.IsConnected());
    watcher.Stop();

    const CConnectionList records = ReadConnectionFile();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(static_cast<std::int64_t>(2 * GiB + 2 * MB), records.front().m_nReceived);
    EXPECT_EQ(3000, records.front().m_nSent);
}

INSTANTIATE_TEST_SUITE_P(SystemAnswers, OnlinePeriodThroughTheSimulator,
                         ::testing::ValuesIn(SYSTEM_ANSWERS), RowName());
