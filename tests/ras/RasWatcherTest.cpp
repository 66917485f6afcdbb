// The watcher thread against the dial-up simulator: its reports, notification and polling mode,
// the re-counting after a signal, and how it stops.
#include "RasRecorder.h"
#include "ReportWindow.h"
#include "Win95Setting.h"

#include "shell/AppMessages.h"
#include "ras/CRasWatcher.h"
#include "support/DialupSimState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// Long enough for the simulator's 100 ms look at its file and a busy machine.
constexpr DWORD kNotifiedMs = 3000;
// Two polls and some room.
constexpr DWORD kPolledMs = 2 * CRasWatcher::POLL_INTERVAL_MS + 1500;
// The whole re-counting after one signal, and some room.
constexpr DWORD kRecountWindowMs =
    CRasWatcher::RECOUNT_TIMES * CRasWatcher::RECOUNT_INTERVAL_MS + 700;

WatcherReport Rise(int nCount) {
    return {1, nCount};
}
WatcherReport Fall(int nCount) {
    return {0, nCount};
}
WatcherReport First(int nCount) {
    return {0, nCount};
}

class RasWatcherTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, m_window.Handle()); }

    void StartWatcher() { ASSERT_TRUE(m_watcher.Start(m_window.Handle(), WM_CONNECTIONS_CHANGED)); }

    // Kept until the watcher's thread has ended with the fixture.
    RasRecorder& Record(RasRecorder::Registration mode = RasRecorder::PASS_ON) {
        m_ras.reset(); // the slots back to the simulator before a new recorder binds them
        m_ras.reset(new RasRecorder(mode));
        return *m_ras;
    }

    DialupSimState m_sim;
    ReportWindow m_window;
    std::unique_ptr<RasRecorder> m_ras;
    CRasWatcher m_watcher;
};

} // namespace

::std::ostream& operator<<(::std::ostream& os, const WatcherReport& report) {
    return os << "{wParam " << report.wParam << ", lParam " << report.lParam << "}";
}

TEST_F(RasWatcherTest, FirstReportWithNothingConnectedIsZero) {
    RasRecorder& ras = Record();
    StartWatcher();
    EXPECT_EQ(First(0), m_window.NextReport());
    EXPECT_TRUE(m_window.StaysQuietFor(600));
    // Waits for the service's events for every connection, up and down.
    EXPECT_EQ(1, ras.Registrations());
    EXPECT_EQ(INVALID_HANDLE_VALUE, ras.LastConnectionHandle());
    EXPECT_EQ(ras::RASCN_Connection | ras::RASCN_Disconnection, ras.LastFlags());
    EXPECT_EQ(0u, ras.LastResult());
}

TEST_F(RasWatcherTest, FirstReportCountsAConnectionAlreadyUp) {
    m_sim.Set("connections", 1);
    StartWatcher();
    EXPECT_EQ(First(1), m_window.NextReport());
    EXPECT_TRUE(m_window.StaysQuietFor(600));
}

TEST_F(RasWatcherTest, NotifiedRisesAndFalls) {
    StartWatcher();
    ASSERT_EQ(First(0), m_window.NextReport());

    m_sim.Set("connections", 1);
    EXPECT_EQ(Rise(1), m_window.NextReport(kNotifiedMs));
    m_sim.Set("connections", 2);
    EXPECT_EQ(Rise(2), m_window.NextReport(kNotifiedMs));
    m_sim.Set("connections", 1);
    EXPECT_EQ(Fall(1), m_window.NextReport(kNotifiedMs));
    m_sim.Set("connections", 0);
    EXPECT_EQ(Fall(0), m_window.NextReport(kNotifiedMs));
    EXPECT_EQ(4u + 1u, m_window.Reports().size());
}

TEST_F(RasWatcherTest, PollsWhenTheServiceCannotNotify) {
    RasRecorder& ras = Record();
    m_sim.Set("notify", 0);
    StartWatcher();
    ASSERT_EQ(First(0), m_window.NextReport());
    EXPECT_EQ(1, ras.Registrations());
    EXPECT_NE(0u, ras.LastResult());

    // The simulator sets no event now: only polling can see these.
    m_sim.Set("connections", 2);
    EXPECT_EQ(Rise(2), m_window.NextReport(kPolledMs));
    m_sim.Set("connections", 0);
    EXPECT_EQ(Fall(0), m_window.NextReport(kPolledMs));

    // Polling goes on without a change, quietly.
    const int nCounts = ras.Counts();
    EXPECT_TRUE(m_window.StaysQuietFor(CRasWatcher::POLL_INTERVAL_MS + 500));
    EXPECT_GE(ras.Counts(), nCounts + 1);
}

TEST_F(RasWatcherTest, ASignalWithoutAChangeOfCountReportsNothing) {
    m_sim.Set("connections", 1);
    RasRecorder& ras = Record(RasRecorder::KEEP_EVENT);
    StartWatcher();
    ASSERT_EQ(First(1), m_window.NextReport());
    const int nCountsBefore = ras.Counts();

    ras.Signal();
    EXPECT_TRUE(m_window.StaysQuietFor(kRecountWindowMs));
    // One count on the signal, then the bounded re-counting, then nothing more.
    EXPECT_EQ(nCountsBefore + 1 + CRasWatcher::RECOUNT_TIMES, ras.Counts());
    EXPECT_TRUE(m_window.StaysQuietFor(500));
    EXPECT_EQ(nCountsBefore + 1 + CRasWatcher::RECOUNT_TIMES, ras.Counts());
}

// Asked to count (a resume, a change of what is measured), the watcher reports the number at
// once, also one that has not changed, in both of its modes and without re-counting.
TEST_F(RasWatcherTest, CountNowReportsTheNumberAtOnceChangedOrNot) {
    for (const bool bNotify : {true, false}) {
        SCOPED_TRACE(bNotify ? "notified" : "polling");
        m_sim.Set("notify", bNotify ? 1 : 0);
        m_sim.Set("connections", 1);
        RasRecorder& ras = Record();
        StartWatcher();
        ASSERT_EQ(First(1), m_window.NextReport());
        const int nCountsBefore = ras.Counts();
        m_watcher.CountNow();
        EXPECT_EQ(Fall(1), m_window.NextReport(500));
        EXPECT_LE(ras.Counts(), nCountsBefore + 2);
        m_watcher.Stop();
    }
}

// The events come first and the list follows 800 ms later: the re-counting after the signal
// reports each change once the list shows it, not before and not much later.
TEST_F(RasWatcherTest, EventsAheadOfTheConnectionListAreReportedWhenTheListCatchesUp) {
    const DWORD dwLagMs = 4 * CRasWatcher::RECOUNT_INTERVAL_MS;
    m_sim.Set("list_lag_ms", static_cast<int>(dwLagMs));
    StartWatcher();
    ASSERT_EQ(First(0), m_window.NextReport());

    for (const WatcherReport expected : {Rise(1), Fall(0)}) {
        const DWORD dwStart = GetTickCount();
        m_sim.Set("connections", static_cast<int>(expected.lParam));
        EXPECT_EQ(expected, m_window.NextReport(kRecountWindowMs + dwLagMs));
        EXPECT_GE(GetTickCount() - dwStart, dwLagMs);
    }
}

TEST_F(RasWatcherTest, StopTwiceThenStartAgain) {
    StartWatcher();
    ASSERT_EQ(First(0), m_window.NextReport());
    m_watcher.Stop();
    m_watcher.Stop();

    m_sim.Set("connections", 1);
    EXPECT_TRUE(m_window.StaysQuietFor(800));

    // The stop event was cleared again: a new thread reports and keeps watching.
    StartWatcher();
    EXPECT_EQ(First(1), m_window.NextReport());
    m_sim.Set("connections", 2);
    EXPECT_EQ(Rise(2), m_window.NextReport(kNotifiedMs));
}

TEST_F(RasWatcherTest, StopWithoutStartDoesNothing) {
    m_watcher.Stop();
    m_watcher.Stop();
    StartWatcher();
    EXPECT_EQ(First(0), m_window.NextReport());
}

TEST_F(RasWatcherTest, StopDuringTheReCountingEndsTheThreadAtOnce) {
    m_sim.Set("connections", 1);
    RasRecorder& ras = Record(RasRecorder::KEEP_EVENT);
    StartWatcher();
    ASSERT_EQ(First(1), m_window.NextReport());

    ras.Signal();
    Sleep(2 * CRasWatcher::RECOUNT_INTERVAL_MS); // now re-counting, for two seconds at most
    const DWORD dwStart = GetTickCount();
    m_watcher.Stop();
    EXPECT_LT(GetTickCount() - dwStart, 1000u);

    // A thread left running would go on counting (and use the watcher after its end).
    const int nCounts = ras.Counts();
    EXPECT_TRUE(m_window.StaysQuietFor(3 * CRasWatcher::RECOUNT_INTERVAL_MS));
    EXPECT_EQ(nCounts, ras.Counts());
}

// An exit while the thread waits for a slow service: Stop keeps to its bounded wait, and the
// thread, when the call returns, touches nothing of the watcher, which is gone by then.
TEST_F(RasWatcherTest, AStopDuringASlowCallLeavesNothingOfTheWatcherInUse) {
    constexpr int kSlowMs = 800;
    alignas(CRasWatcher) unsigned char place[sizeof(CRasWatcher)];
    auto* pWatcher = new (place) CRasWatcher;
    ASSERT_TRUE(pWatcher->Start(m_window.Handle(), WM_CONNECTIONS_CHANGED));
    ASSERT_EQ(First(0), m_window.NextReport());
    m_sim.Set("ras_delay_ms", kSlowMs);
    m_sim.Set("connections", 1);
    Sleep(400); // the thread has been told, and waits inside the service

    const DWORD dwStart = GetTickCount();
    pWatcher->~CRasWatcher();
    EXPECT_LT(GetTickCount() - dwStart, 1000u);
    std::memset(place, 0xDD, sizeof place); // as the heap fills a freed block
    EXPECT_TRUE(m_window.StaysQuietFor(3 * kSlowMs));
    EXPECT_EQ(std::vector<unsigned char>(sizeof place, 0xDD),
              std::vector<unsigned char>(place, place + sizeof place));
}

TEST_F(RasWatcherTest, StartRefusesAWindowThatIsGoneOrAMessageBelowWMUser) {
    EXPECT_FALSE(m_watcher.Start(nullptr, WM_CONNECTIONS_CHANGED));
    EXPECT_FALSE(m_watcher.Start(m_window.Handle(), WM_USER - 1));
    {
        ReportWindow gone;
        const HWND hGone = gone.Handle();
        DestroyWindow(hGone);
        EXPECT_FALSE(m_watcher.Start(hGone, WM_CONNECTIONS_CHANGED));
    }
    EXPECT_TRUE(m_window.StaysQuietFor(300));

    EXPECT_TRUE(m_watcher.Start(m_window.Handle(), WM_USER));
}

TEST_F(RasWatcherTest, ASecondStartWhileRunningIsRefused) {
    StartWatcher();
    ASSERT_EQ(First(0), m_window.NextReport());
    EXPECT_FALSE(m_watcher.Start(m_window.Handle(), WM_CONNECTIONS_CHANGED));
    EXPECT_TRUE(m_window.StaysQuietFor(400));
    m_sim.Set("connections", 1);
    EXPECT_EQ(Rise(1), m_window.NextReport(kNotifiedMs));
}

TEST_F(RasWatcherTest, DestroyingTheWatcherStopsItsThread) {
    RasRecorder& ras = Record();
    {
        CRasWatcher watcher;
        ASSERT_TRUE(watcher.Start(m_window.Handle(), WM_CONNECTIONS_CHANGED));
        ASSERT_EQ(First(0), m_window.NextReport());
    }
    const int nCounts = ras.Counts();
    m_sim.Set("connections", 1);
    EXPECT_TRUE(m_window.StaysQuietFor(800));
    EXPECT_EQ(nCounts, ras.Counts());
}

TEST_F(RasWatcherTest, OnWindows95WithoutTheNotificationFunctionItPolls) {
    RasRecorder& ras = Record(); // binds the slots while nothing is missing
    ScopedWin95 win95;
    DialupLoader loader;
    loader.LoseFunction("RasConnectionNotificationA");
    StartWatcher();
    ASSERT_EQ(First(0), m_window.NextReport());
    EXPECT_EQ(0, ras.Registrations()); // not even tried
    EXPECT_EQ(1, loader.DialupLoads());
    EXPECT_EQ(1, loader.DialupReleases());

    m_sim.Set("connections", 1);
    EXPECT_EQ(Rise(1), m_window.NextReport(kPolledMs));
    m_watcher.Stop();
}

TEST_F(RasWatcherTest, OnWindows95WithTheNotificationFunctionItWaitsForEvents) {
    RasRecorder& ras = Record();
    ScopedWin95 win95;
    DialupLoader loader;
    StartWatcher();
    ASSERT_EQ(First(0), m_window.NextReport());
    EXPECT_EQ(1, ras.Registrations());
    EXPECT_EQ(0u, ras.LastResult());
    EXPECT_EQ(1, loader.DialupLoads());
    EXPECT_EQ(1, loader.DialupReleases());

    m_sim.Set("connections", 1);
    EXPECT_EQ(Rise(1), m_window.NextReport(kNotifiedMs));
    m_watcher.Stop();
}
