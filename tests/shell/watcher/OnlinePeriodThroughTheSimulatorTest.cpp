// One online period the whole way: the simulator's connection and byte counters, the watcher's
// reports, the PDH byte counter and the accounting, into the log. The receive counter wraps
// past 4 GiB on the way.
#include "ReportWindow.h"

#include "../AccountingFakes.h"
#include "../ShellCallLog.h"

#include "counters/TrafficCounterFactory.h"
#include "log/LogFolderTest.h"
#include "resource.h"
#include "shell/ConnectionAccounting.h"
#include "shell/RasWatcher.h"
#include "shell/TrayIcon.h"
#include "support/DialupSimState.h"

#include <gtest/gtest.h>

class OnlinePeriodThroughTheSimulator : public LogFolderTest {
protected:
    // Hands the watcher's next report to the accounting, as the frame's message map does.
    WatcherReport Deliver(CConnectionAccounting& accounting) {
        const WatcherReport report = m_window.NextReport(8000);
        if (report.lParam >= 0)
            accounting.OnConnectionsChanged(report.wParam, report.lParam);
        return report;
    }

    DialupSimState m_sim;
    ReportWindow m_window;
};

TEST_F(OnlinePeriodThroughTheSimulator, IsRecordedWithTheWrappedVolume) {
    ASSERT_TRUE(IsNtFamily()); // Wine answers as an NT system: the PDH back end
    m_sim.Set("received", 0xFFF00000ull);
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
    EXPECT_FALSE(accounting.IsConnected());

    m_sim.Set("connections", 1);
    EXPECT_EQ(1, Deliver(accounting).lParam);
    EXPECT_TRUE(accounting.IsConnected());

    m_sim.Set("received", 0x100000000ull + 1 * MB); // 2 MiB later, past the wrap
    m_sim.Set("sent", 5000 + 3000);
    m_clock.Advance(5);
    accounting.OnTimer(IDT_MEASURE);

    m_sim.Set("connections", 0);
    EXPECT_EQ(0, Deliver(accounting).lParam);
    EXPECT_FALSE(accounting.IsConnected());
    watcher.Stop();

    const CConnectionList records = ReadConnectionFile();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(2 * MB, records.front().m_nReceived);
    EXPECT_EQ(3000, records.front().m_nSent);
}
