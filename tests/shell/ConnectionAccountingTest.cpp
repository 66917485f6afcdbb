// The connection accounting driven alone: watcher reports and timer ticks in, with a counter
// whose values the test sets, a log in a folder of its own, and a tray icon whose shell only
// records what it is given.
#include "AccountingFakes.h"
#include "FakeXpIpHelper.h"
#include "ShellCallLog.h"
#include "TrayOwnerWindow.h"

#include "counters/CAdapterCounter.h"
#include "log/LogFolderTest.h"
#include "resource.h"
#include "shell/CConnectionAccounting.h"
#include "shell/CTrayIcon.h"
#include "shell/CVolumeWatch.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t GiB = std::int64_t(1) << 30;
constexpr TIME64 TICK_SECONDS = MEASURE_INTERVAL_MS / 1000;

class AccountingTest : public LogFolderTest {
protected:
    void SetUp() override { FakeTimer::Calls().clear(); }

    // The log over a month file whose totals the test chooses, the accounting, and the tray
    // icon created with the accounting's first image, as the frame does it.
    void Begin(const MonthTable& months = MonthTable{},
               CTrayIcon::ShellNotifyProc shell = &ShellCallLog::Accept) {
        WriteRecentMonthFile(months);
        m_log = OpenLog();
        m_tray.reset(new CTrayIcon(shell));
        m_accounting.reset(new CConnectionAccounting(*m_log, *m_tray, FakeTimer::CALLS));
        m_accounting->SetWindow(Window());
        m_accounting->SetCounter(&m_counter);
        m_tray->Create(Window(), WM_TRAY_NOTIFY, "Tarvolo", m_accounting->LoadTrayImage(),
                       IDR_TRAYMENU);
        m_shell.Clear();
        FakeTimer::Calls().clear();
    }

    HWND Window() const { return m_window.Handle(); }

    void Report(int nConnections, WPARAM wParam = 0) {
        EXPECT_EQ(1, m_accounting->OnConnectionsChanged(wParam, nConnections));
    }
    void Tick() {
        m_clock.Advance(TICK_SECONDS);
        m_accounting->OnTimer(IDT_MEASURE);
    }
    // The counters read these running totals at the next tick.
    void Sample(DWORD dwReceived, DWORD dwSent) {
        m_counter.dwLiveReceived = dwReceived;
        m_counter.dwLiveSent = dwSent;
        Tick();
    }
    // Hangs up; the one record the online period left, or an empty one when there is not
    // exactly one.
    CConnectionInfo HangUp() {
        Report(0);
        const CConnectionList records = Records();
        EXPECT_EQ(1u, records.size());
        return records.size() == 1 ? records.front() : CConnectionInfo();
    }

    // The tooltip and picture the shell was last given.
    std::string LastTip() const {
        for (auto call = m_shell.All().rbegin(); call != m_shell.All().rend(); ++call)
            if (call->message == NIM_MODIFY && (call->data.uFlags & NIF_TIP))
                return call->data.szTip;
        return "(none)";
    }
    HICON LastIcon() const {
        for (auto call = m_shell.All().rbegin(); call != m_shell.All().rend(); ++call)
            if (call->message == NIM_MODIFY && (call->data.uFlags & NIF_ICON))
                return call->data.hIcon;
        return nullptr;
    }
    bool ShowsImage(int nId) const {
        const std::vector<BYTE> shown = IconBits(LastIcon());
        return !shown.empty() && shown == ResourceIconBits(nId);
    }
    // Tooltip first, then the picture, as one refresh of the tray.
    std::vector<std::pair<DWORD, UINT>> ShellCalls() const {
        std::vector<std::pair<DWORD, UINT>> calls;
        for (const ShellCall& call : m_shell.All())
            calls.emplace_back(call.message, call.data.uFlags);
        return calls;
    }

    std::vector<TimerCall>& TimerCalls() { return FakeTimer::Calls(); }

    // The recorded connections; none while "clog.dat" has not been written.
    CConnectionList Records() {
        if (GetFileAttributesA(Path("clog.dat").c_str()) == INVALID_FILE_ATTRIBUTES)
            return CConnectionList();
        return ReadConnectionFile();
    }

    TrayOwnerWindow m_window;
    ShellCallLog m_shell;
    FakeCounter m_counter;
    std::unique_ptr<CConnectionLog> m_log;
    std::unique_ptr<CTrayIcon> m_tray;
    std::unique_ptr<CConnectionAccounting> m_accounting;
};

MonthTable MonthsWith(int month, std::int64_t received, std::int64_t sent) {
    MonthTable table{};
    table[month].nReceived = received;
    table[month].nSent = sent;
    return table;
}

const std::vector<std::pair<DWORD, UINT>> ONE_TRAY_REFRESH = {{NIM_MODIFY, NIF_TIP},
                                                              {NIM_MODIFY, NIF_ICON}};

} // namespace

// ---- The state table, row by row ----

TEST_F(AccountingTest, IdleThenAConnectionStartsMeasuringFromTheCountersReadings) {
    Begin();
    const TIME64 start = Clock::Now();
    m_counter.dwLiveReceived = 1000 * MB;
    m_counter.dwLiveSent = 200 * MB;
    Report(1, 1);

    EXPECT_TRUE(m_accounting->IsConnected());
    EXPECT_EQ(IDT_MEASURE, m_accounting->GetTimer());
    EXPECT_EQ(std::vector<TimerCall>({FakeTimer::Set(Window())}), TimerCalls());
    EXPECT_EQ(1, m_counter.nCollects);
    EXPECT_TRUE(m_log->IsConnected());
    ASSERT_NE(ResourceIconBits(IDI_TRAY_IDLE), ResourceIconBits(IDI_TRAY_ONLINE));
    EXPECT_TRUE(ShowsImage(IDI_TRAY_ONLINE));
    EXPECT_EQ("Tarvolo: 0,00 MByte", LastTip());

    // The readings at the report are the baseline: only what follows counts.
    m_counter.dwLiveReceived += 3 * MB;
    m_counter.dwLiveSent += 1 * MB;
    Tick();
    EXPECT_EQ("Tarvolo: 4,00 MByte", LastTip());
    Report(0);
    const CConnectionList records = Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(start, records.front().m_timeStart);
    EXPECT_EQ(3 * MB, records.front().m_nReceived);
    EXPECT_EQ(1 * MB, records.front().m_nSent);
}

TEST_F(AccountingTest, MeasuringThenAnotherReportRestartsTheTimerOnly) {
    Begin();
    const TIME64 start = Clock::Now();
    m_counter.Sampled(5000, 500);
    Report(1, 1);
    Tick();
    TimerCalls().clear();
    const int nCollects = m_counter.nCollects;

    Report(1, 0);
    EXPECT_EQ(std::vector<TimerCall>({FakeTimer::Kill(Window()), FakeTimer::Set(Window())}),
              TimerCalls());
    EXPECT_EQ(nCollects, m_counter.nCollects);
    EXPECT_TRUE(m_accounting->IsConnected());
    EXPECT_TRUE(ShowsImage(IDI_TRAY_ONLINE));

    Tick();
    Report(0);
    const CConnectionList records = Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(start, records.front().m_timeStart); // still the online period of the first report
}

TEST_F(AccountingTest, MeasuringTickSamplesAndUpdatesTheRunningConnection) {
    Begin();
    m_counter.Sampled(0, 0);
    Report(1, 1);
    m_counter.dwLiveReceived = 2 * MB;
    m_counter.dwLiveSent = MB / 2;
    m_shell.Clear();
    const int nCollects = m_counter.nCollects;

    Tick();
    EXPECT_EQ(nCollects + 1, m_counter.nCollects);
    EXPECT_EQ(ONE_TRAY_REFRESH, ShellCalls());
    EXPECT_EQ("Tarvolo: 2,50 MByte", LastTip());
    EXPECT_TRUE(ShowsImage(IDI_TRAY_ONLINE));
}

TEST_F(AccountingTest, MeasuringTickWithAFailedSampleLeavesTheLogAlone) {
    Begin();
    m_counter.Sampled(0, 0);
    Report(1, 1);
    m_counter.dwLiveReceived = 2 * MB;
    Tick();
    m_counter.bCollectSucceeds = FALSE;
    m_counter.dwLiveReceived = 7 * MB;
    m_shell.Clear();

    Tick();
    EXPECT_EQ("Tarvolo: 2,00 MByte", LastTip()); // rebuilt, unchanged
    EXPECT_EQ(ONE_TRAY_REFRESH, ShellCalls());

    m_counter.bCollectSucceeds = TRUE; // the next tick tries again
    Tick();
    EXPECT_EQ("Tarvolo: 7,00 MByte", LastTip());
}

// A clock set back by hours while online (a time sync at dial-in): the period is booked with
// the length the ticks measured, not a negative one, and begins that long before the hang-up.
TEST_F(AccountingTest, AClockSetBackWhileOnlineBooksTheMeasuredLength) {
    Begin();
    m_counter.Sampled(0, 0);
    Report(1, 1);
    Sample(MB, 0);
    m_clock.Jump(-3 * 3600);
    Sample(2 * MB, MB);
    Sample(3 * MB, MB);

    const TIME64 hangUp = Clock::Now();
    const CConnectionInfo record = HangUp();
    EXPECT_EQ(3 * TICK_SECONDS, record.m_nDuration);
    EXPECT_EQ(hangUp - 3 * TICK_SECONDS, record.m_timeStart);
    EXPECT_EQ(3 * TICK_SECONDS, ReadMonthFile()[Clock::LocalMonth(hangUp)].nDuration);
    EXPECT_EQ(3 * MB, ReadMonthFile()[Clock::LocalMonth(hangUp)].nReceived);
}

namespace {

// The end takes one more sample; what it cannot read keeps the last good sample.
struct LastSample {
    const char* name;
    BOOL bCollectSucceeds;
    DWORD dwReceivedAtTheEnd; // the counter's live value when the last connection goes down
    std::int64_t nBooked;
};

void PrintTo(const LastSample& row, std::ostream* os) {
    *os << row.name;
}

class AccountingEnd : public AccountingTest, public ::testing::WithParamInterface<LastSample> {};

} // namespace

TEST_P(AccountingEnd, MeasuringThenNoConnectionSamplesOnceMoreBooksAndGoesIdle) {
    const LastSample& row = GetParam();
    Begin();
    const TIME64 start = Clock::Now();
    m_counter.Sampled(100, 100);
    Report(1, 1);
    m_counter.dwLiveReceived = 100 + 5 * MB;
    m_counter.dwLiveSent = 100 + 1 * MB;
    Tick();
    m_counter.dwLiveReceived = row.dwReceivedAtTheEnd;
    m_counter.bCollectSucceeds = row.bCollectSucceeds;
    const int nCollects = m_counter.nCollects;
    TimerCalls().clear();
    m_clock.Advance(3);

    Report(0);
    EXPECT_FALSE(m_accounting->IsConnected());
    EXPECT_EQ(0u, m_accounting->GetTimer());
    EXPECT_EQ(std::vector<TimerCall>({FakeTimer::Kill(Window())}), TimerCalls());
    EXPECT_EQ(nCollects + 1, m_counter.nCollects);
    EXPECT_FALSE(m_log->IsConnected());
    EXPECT_TRUE(ShowsImage(IDI_TRAY_IDLE));

    const CConnectionList records = Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(row.nBooked, records.front().m_nReceived);
    EXPECT_EQ(1 * MB, records.front().m_nSent);
    EXPECT_EQ(TICK_SECONDS + 3, records.front().m_nDuration);
    EXPECT_EQ(row.nBooked, ReadMonthFile()[Clock::LocalMonth(start)].nReceived);
}

INSTANTIATE_TEST_SUITE_P(
    LastSample, AccountingEnd,
    ::testing::Values(LastSample{"TheTrafficSinceTheLastTickIsBooked", TRUE, 100 + 14 * MB,
                                 14 * MB},
                      LastSample{"AFailedSampleKeepsTheLastGoodOne", FALSE, 100 + 14 * MB, 5 * MB},
                      LastSample{"AReadingOfZeroKeepsTheLastGoodOne", TRUE, 0, 5 * MB}),
    RowName());

// ---- Sleep ----

namespace {

// Online for ten seconds (8 MB by the last tick), then nine hours asleep.
struct SleepCase {
    const char* name;
    bool bSuspendMessage;  // the machine said it goes to sleep (at 9 MB)
    DWORD dwReceivedAfter; // the counter at the first sample after it; less is a reset
    bool bLinkUp;          // the link is up after it, and moves one more megabyte
    std::vector<std::pair<std::int64_t, std::int32_t>> records; // received and seconds
};

void PrintTo(const SleepCase& row, std::ostream* os) {
    *os << row.name;
}

class AccountingSleep : public AccountingTest, public ::testing::WithParamInterface<SleepCase> {};

} // namespace

TEST_P(AccountingSleep, TheTimeAsleepIsNoOnlineTimeAndNoByteIsLost) {
    const SleepCase& row = GetParam();
    Begin();
    int nCountNows = 0;
    m_accounting->SetCountNow([&nCountNows] { ++nCountNows; });
    const int month = Clock::LocalMonth(Clock::Now());
    m_counter.Sampled(0, 0);
    Report(1, 1);
    Sample(5 * MB, 0);
    Sample(8 * MB, 0);
    if (row.bSuspendMessage) {
        m_counter.dwLiveReceived = 9 * MB;
        m_accounting->Suspend();
        EXPECT_TRUE(m_accounting->IsSuspended());
        EXPECT_EQ(1u, Records().size());
    }
    m_clock.Advance(9 * 3600);
    m_counter.dwLiveReceived = row.dwReceivedAfter;
    if (row.bSuspendMessage) {
        m_accounting->Resume();
        EXPECT_EQ(1, nCountNows);
        Report(row.bLinkUp ? 1 : 0); // the watcher's answer
    } else if (row.bLinkUp) {
        Tick();
    } else {
        Report(0);
    }
    if (row.bLinkUp) {
        Sample(row.dwReceivedAfter + MB, 0);
        Report(0);
    }
    EXPECT_FALSE(m_accounting->IsSuspended());

    std::vector<std::pair<std::int64_t, std::int32_t>> booked;
    std::int64_t nSeconds = 0;
    for (const CConnectionInfo& record : Records()) {
        booked.emplace_back(record.m_nReceived, record.m_nDuration);
        nSeconds += record.m_nDuration;
    }
    EXPECT_EQ(row.records, booked);
    EXPECT_EQ(nSeconds, ReadMonthFile()[month].nDuration);
}

INSTANTIATE_TEST_SUITE_P(
    Sleep, AccountingSleep,
    ::testing::Values(
        SleepCase{"SuspendedTheLinkStaysUp", true, 20 * MB, true, {{9 * MB, 10}, {12 * MB, 5}}},
        SleepCase{"SuspendedTheLinkIsGone", true, 0, false, {{9 * MB, 10}}},
        SleepCase{"SuspendedANewLinkWithItsCounterReset",
                  true,
                  2 * MB,
                  true,
                  {{9 * MB, 10}, {3 * MB, 5}}},
        SleepCase{"UnannouncedTheLinkStaysUp", false, 20 * MB, true, {{8 * MB, 10}, {13 * MB, 5}}},
        SleepCase{"UnannouncedTheLinkIsGone", false, 0, false, {{8 * MB, 10}}}),
    RowName());

// A sleep that was vetoed sends no resume: a tick more than a minute after the suspend has the
// watcher count again.
TEST_F(AccountingTest, AVetoedSleepCountsAgainAMinuteAfterTheSuspend) {
    Begin();
    int nCountNows = 0;
    m_accounting->SetCountNow([&nCountNows] { ++nCountNows; });
    m_counter.Sampled(0, 0);
    Report(1, 1);
    m_accounting->Suspend();
    const int nCollects = m_counter.nCollects;
    for (int i = 0; i < 12; ++i)
        Tick();
    EXPECT_EQ(nCollects, m_counter.nCollects);
    EXPECT_EQ(0, nCountNows);
    Tick();
    EXPECT_EQ(1, nCountNows);
    EXPECT_FALSE(m_accounting->IsSuspended());
}

TEST_F(AccountingTest, IdleThenNoConnectionShowsTheMonthAndRecordsNothing) {
    Begin(MonthsWith(Clock::LocalMonth(Clock::Now()), 2 * MB, 1 * MB));
    m_counter.Sampled(4000, 4000);
    Report(0);

    EXPECT_FALSE(m_accounting->IsConnected());
    EXPECT_TRUE(TimerCalls().empty());
    EXPECT_EQ(0, m_counter.nCollects);
    EXPECT_FALSE(m_log->IsConnected());
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(2 * MB, ReadMonthFile()[Clock::LocalMonth(Clock::Now())].nReceived);
    EXPECT_TRUE(ShowsImage(IDI_TRAY_IDLE));
    EXPECT_EQ("Tarvolo: 3,00 MByte", LastTip());
}

TEST_F(AccountingTest, IdleTicksOnlyRebuildTheTooltipAndOtherTimersNothing) {
    Begin();
    m_accounting->OnTimer(IDT_MEASURE);
    EXPECT_EQ(0, m_counter.nCollects);
    EXPECT_EQ(ONE_TRAY_REFRESH, ShellCalls());
    EXPECT_TRUE(ShowsImage(IDI_TRAY_IDLE));

    m_shell.Clear();
    m_counter.Sampled(0, 0);
    Report(1, 1);
    m_shell.Clear();
    const int nCollects = m_counter.nCollects;
    m_accounting->OnTimer(IDT_MEASURE + 1);
    EXPECT_EQ(nCollects, m_counter.nCollects);
    EXPECT_TRUE(ShellCalls().empty());
}

// ---- Online periods ----

TEST_F(AccountingTest, TwoConnectionsThenOneIsStillOneOnlinePeriod) {
    Begin();
    m_counter.Sampled(0, 0);
    Report(1, 1);
    m_counter.dwLiveReceived = 1 * MB;
    Tick();
    Report(2, 1);
    m_counter.dwLiveReceived = 3 * MB;
    Tick();
    Report(1, 0);
    EXPECT_TRUE(m_accounting->IsConnected());
    EXPECT_TRUE(m_log->IsConnected());
    EXPECT_EQ(IDT_MEASURE, m_accounting->GetTimer());
    EXPECT_TRUE(ShowsImage(IDI_TRAY_ONLINE));
    EXPECT_TRUE(Records().empty());

    m_counter.dwLiveReceived = 4 * MB;
    Tick();
    const CConnectionInfo record = HangUp();
    EXPECT_EQ(4 * MB, record.m_nReceived);
    EXPECT_EQ(3 * TICK_SECONDS, record.m_nDuration);
}

TEST_F(AccountingTest, ASampleFailingAtTheStartTakesTheBaselineFromTheFirstGoodOne) {
    Begin();
    m_counter.Sampled(900 * MB, 90 * MB); // an old sample that must not become the baseline
    m_counter.bCollectSucceeds = FALSE;
    Report(1, 1);
    EXPECT_TRUE(m_log->IsConnected());
    m_counter.dwLiveReceived = 950 * MB;
    Tick(); // fails as well

    m_counter.bCollectSucceeds = TRUE;
    Sample(1000 * MB, 100 * MB);
    EXPECT_EQ("Tarvolo: 0,00 MByte", LastTip());
    Sample(1000 * MB + 2 * MB, 100 * MB + 1 * MB);

    const CConnectionInfo record = HangUp();
    EXPECT_EQ(2 * MB, record.m_nReceived);
    EXPECT_EQ(1 * MB, record.m_nSent);
}

TEST_F(AccountingTest, TheTooltipShowsTheMonthsVolumeAndTheRunningConnection) {
    const int month = Clock::LocalMonth(Clock::Now());
    MonthTable months = MonthsWith(month, 2 * MB, 1 * MB);
    months[month % 12 + 1].nReceived = 50 * MB; // another month does not count
    Begin(months);
    m_accounting->UpdateTrayIcon();
    EXPECT_EQ("Tarvolo: 3,00 MByte", LastTip());

    m_counter.Sampled(10 * MB, 10 * MB);
    Report(1, 1);
    m_counter.dwLiveReceived += MB + MB / 2;
    Tick();
    EXPECT_EQ("Tarvolo: 4,50 MByte", LastTip());
    Report(0);
    EXPECT_EQ("Tarvolo: 4,50 MByte", LastTip());
}

TEST_F(AccountingTest, WithoutATrayIconTheShellIsNotAskedButTheLogIsKept) {
    Begin(MonthTable{}, &ShellCallLog::Refuse);
    ASSERT_FALSE(m_tray->IsEnabled());
    m_counter.Sampled(0, 0);
    Report(1, 1);
    Sample(1 * MB, 0);
    Report(0);
    EXPECT_TRUE(ShellCalls().empty());
    EXPECT_EQ(1u, Records().size());
}

// ---- Readings in, one record out ----

// The counters' totals when the period starts and at each tick after it, and the volumes of the
// one record the period leaves.
struct ReadingSequence {
    const char* szWhat;
    DWORD dwStartReceived, dwStartSent;
    bool bCollectFails;
    std::vector<std::pair<DWORD, DWORD>> readings;
    std::int64_t nReceived, nSent;
};

const ReadingSequence READING_SEQUENCES[] = {
    {"a period without any good sample is recorded without volume",
     700 * MB,
     70 * MB,
     true,
     {{0, 0}},
     0,
     0},
    {"a counter that wraps past 4 GiB counts on (sent wraps first: 0x200 bytes)",
     0xF0000000u,
     0xFFFFFF00u,
     false,
     {{0xFFFF0000u, 0x100u}, {0x10000000u, 0x100u}},
     0x20000000,
     0x200},
    // The service restarts: the counters begin again at 0 and have counted a little since.
    {"a counter that starts again books no phantom gigabytes",
     0x50000000u,
     0x40000000u,
     false,
     {{0x50000000u + 1 * MB, 0x40000000u + 1 * MB}, {2 * MB, 0}, {2 * MB, 1 * MB}},
     3 * MB,
     2 * MB},
};

class ReadingSequenceTest : public AccountingTest,
                            public ::testing::WithParamInterface<ReadingSequence> {};

TEST_P(ReadingSequenceTest, BooksTheGrowthOfTheCounters) {
    const ReadingSequence& sequence = GetParam();
    SCOPED_TRACE(sequence.szWhat);
    Begin();
    m_counter.Sampled(sequence.dwStartReceived, sequence.dwStartSent);
    m_counter.bCollectSucceeds = !sequence.bCollectFails;
    Report(1, 1);
    for (const auto& reading : sequence.readings)
        Sample(reading.first, reading.second);
    const CConnectionInfo record = HangUp();
    EXPECT_EQ(sequence.nReceived, record.m_nReceived);
    EXPECT_EQ(sequence.nSent, record.m_nSent);
}

INSTANTIATE_TEST_SUITE_P(AccountingTest, ReadingSequenceTest,
                         ::testing::ValuesIn(READING_SEQUENCES));

TEST_F(AccountingTest, TenGiBInOneOnlinePeriodSampledEveryFiveSeconds) {
    Begin();
    const TIME64 start = Clock::Now();
    const int month = Clock::LocalMonth(start);
    // About 107 Mbit/s down and 3.4 Mbit/s up; the receive counter wraps three times.
    const DWORD dwReceivedStep = 64 * MB;
    const DWORD dwSentStep = 2 * MB;
    const int nTicks = static_cast<int>(10 * GiB / dwReceivedStep);
    m_counter.Sampled(0xFFFFF000u, 0x12345678u);
    Report(1, 1);
    for (int i = 0; i < nTicks; ++i) {
        m_counter.dwLiveReceived += dwReceivedStep;
        m_counter.dwLiveSent += dwSentStep;
        Tick();
    }
    EXPECT_EQ("Tarvolo: 10.560,00 MByte", LastTip());
    Report(0);

    const CConnectionList records = Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(10 * GiB, records.front().m_nReceived);
    EXPECT_EQ(std::int64_t(nTicks) * dwSentStep, records.front().m_nSent);
    EXPECT_EQ(nTicks * TICK_SECONDS, records.front().m_nDuration);
    const MonthTable months = ReadMonthFile();
    EXPECT_EQ(10 * GiB, months[month].nReceived);
    EXPECT_EQ(320 * MB, months[month].nSent);
    EXPECT_EQ("Tarvolo: 10.560,00 MByte", LastTip());
}

// ---- The timer ----

// The tray shows small icons, larger at a higher DPI: the image must be loaded at that size to
// stay crisp. A run at 144 DPI names the size it expects in TARVOLO_EXPECT_SMALL_ICON.
TEST_F(AccountingTest, TheTrayImageHasTheSystemsSmallIconSize) {
    // As the program's manifest declares it; only a DPI-aware process sees the system's DPI.
    using SetAwareFunction = BOOL(WINAPI*)();
    if (auto pfnSetAware = reinterpret_cast<SetAwareFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")))) {
        pfnSetAware();
    }
    if (const char* expected = std::getenv("TARVOLO_EXPECT_SMALL_ICON")) {
        ASSERT_EQ(std::atoi(expected), GetSystemMetrics(SM_CXSMICON));
    }
    Begin();
    for (bool bOnline : {false, true}) {
        if (bOnline)
            Report(1, 1);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(m_accounting->LoadTrayImage(), &info));
        BITMAP mask = {};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), mask.bmWidth);
        EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), info.hbmColor ? mask.bmHeight : mask.bmHeight / 2);
    }
}

TEST_F(AccountingTest, TheSystemTimerRunsOnTheWindowWhileMeasuring) {
    Begin();
    CConnectionAccounting accounting(*m_log, *m_tray);
    accounting.SetWindow(Window());
    accounting.SetCounter(&m_counter);
    accounting.OnConnectionsChanged(0, 1);
    EXPECT_EQ(IDT_MEASURE, accounting.GetTimer());
    accounting.OnConnectionsChanged(0, 0);
    EXPECT_EQ(0u, accounting.GetTimer());
    EXPECT_FALSE(KillTimer(Window(), IDT_MEASURE)); // gone with the end

    accounting.OnConnectionsChanged(0, 2);
    EXPECT_TRUE(KillTimer(Window(), IDT_MEASURE)); // there while measuring
}

TEST_F(AccountingTest, DestroyingTheAccountingStopsItsTimer) {
    Begin();
    m_counter.Sampled(0, 0);
    Report(1, 1);
    TimerCalls().clear();
    m_accounting.reset();
    EXPECT_EQ(std::vector<TimerCall>({FakeTimer::Kill(Window())}), TimerCalls());
}

// ---- the volume limit: the tooltip, and a balloon once per share and billing period

namespace {

// A billing period (from the 1st) that used `seeded` megabytes in an earlier connection, then
// an online period that receives the megabytes of each step in turn.
struct LimitRun {
    const char* name;
    VOLUMESETTINGS settings;
    int seededMB;
    std::vector<int> stepsMB;
    std::vector<int> balloons; // the shares the balloons showed, in order
};

void PrintTo(const LimitRun& row, std::ostream* os) {
    *os << row.name;
}

class VolumeLimitTest : public AccountingTest {
protected:
    // The accounting with a watch that remembers what it showed in m_warned, as a restart would
    // find it.
    void BeginWithLimit(const VOLUMESETTINGS& settings, int seededMB,
                        CTrayIcon::ShellNotifyProc shell = &ShellCallLog::Accept) {
        WriteConnectionFile({CConnectionInfo(Clock::Now() - 2 * DAY, 600, seededMB * MB, MB)});
        StartWatch(settings);
        Begin(MonthTable{}, shell);
        m_accounting->SetVolumeWatch(m_watch.get());
        m_accounting->UpdateTrayIcon(); // as the frame does once it is up
    }
    void StartWatch(const VOLUMESETTINGS& settings) {
        m_watch = std::make_unique<CVolumeWatch>(settings, m_warned,
                                                 [this](const auto& warned) { m_warned = warned; });
    }
    std::vector<std::string> Balloons() const {
        std::vector<std::string> texts;
        for (const ShellCall& call : m_shell.All())
            if (call.data.uFlags & NIF_INFO) {
                EXPECT_EQ(NIIF_WARNING, call.data.dwInfoFlags);
                EXPECT_STREQ("Tarvolo", call.data.szInfoTitle);
                texts.push_back(call.data.szInfo);
            }
        return texts;
    }
    static std::string Share(const std::string& balloon) {
        return balloon.substr(0, balloon.find(' '));
    }

    CVolumeWatch::WARNED m_warned;
    std::unique_ptr<CVolumeWatch> m_watch;
};

class VolumeLimitRuns : public VolumeLimitTest, public ::testing::WithParamInterface<LimitRun> {};

VOLUMESETTINGS Limit(std::uint32_t nMB, bool bReceivedOnly = true, int nWarnPercent = 80) {
    VOLUMESETTINGS settings;
    settings.nLimitMB = nMB;
    settings.bReceivedOnly = bReceivedOnly;
    settings.nWarnPercent = nWarnPercent;
    return settings;
}

} // namespace

TEST_P(VolumeLimitRuns, ShowOneBalloonPerShareCrossed) {
    const LimitRun& row = GetParam();
    BeginWithLimit(row.settings, row.seededMB);
    m_counter.Sampled(0, 0);
    Report(1, 1);
    DWORD received = 0;
    for (int step : row.stepsMB)
        Sample(received += step * MB, 0);
    Report(0);
    std::vector<std::string> shares;
    for (const std::string& balloon : Balloons())
        shares.push_back(Share(balloon));
    std::vector<std::string> expected;
    for (int share : row.balloons)
        expected.push_back(std::to_string(share));
    EXPECT_EQ(expected, shares);

    // A restart finds them shown.
    m_shell.Clear();
    StartWatch(row.settings);
    m_accounting->SetVolumeWatch(m_watch.get());
    m_accounting->UpdateTrayIcon();
    EXPECT_TRUE(Balloons().empty());
}

INSTANTIATE_TEST_SUITE_P(
    AccountingTest, VolumeLimitRuns,
    ::testing::Values(
        LimitRun{"CrossingTheShare", Limit(1000), 790, {5, 10, 5}, {80}},
        LimitRun{"CrossingTheShareThenTheLimit", Limit(1000), 790, {20, 200}, {80, 100}},
        LimitRun{"CrossingBothAtOnceShowsTheLimitOnly", Limit(1000), 790, {300}, {100}},
        LimitRun{"ALimitBelowTheUseShowsOneAtTheStart", Limit(500), 790, {10}, {100}},
        LimitRun{"BelowTheShare", Limit(1000), 700, {50}, {}},
        LimitRun{"SentCountsWhereSet", Limit(1000, false, 90), 898, {1}, {90}},
        LimitRun{"ReceivedOnly", Limit(1000, true, 90), 898, {1}, {}},
        LimitRun{"NoLimit", Limit(0), 5000, {10}, {}}),
    RowName());

TEST_F(VolumeLimitTest, TheTooltipAndTheBalloonNameTheUseTheLimitAndThePeriodsEnd) {
    VOLUMESETTINGS settings = Limit(1000);
    settings.nBillingDay = 6; // the 20th of January is in the period up to the 6th of February
    BeginWithLimit(settings, 795);
    m_counter.Sampled(0, 0);
    Report(1, 1);
    EXPECT_TRUE(Balloons().empty());
    Sample(17 * MB, 0);
    EXPECT_EQ("Tarvolo: 17,00 MByte, 812 von 1.000 MB", LastTip());
    EXPECT_EQ(std::vector<std::string>{"80 % des Volumens erreicht: 812 von 1.000 MB bis 06.02."},
              Balloons());

    // Settings changed on the sheet arm the warnings anew; the same ones do not.
    m_shell.Clear();
    m_watch->ChangeSettings(settings);
    Sample(18 * MB, 0);
    EXPECT_TRUE(Balloons().empty());
    settings.nWarnPercent = 81;
    m_watch->ChangeSettings(settings);
    Sample(19 * MB, 0);
    EXPECT_EQ(1u, Balloons().size());

    // The next billing period begins with nothing shown. Weeks without a sample are no online
    // time: the old period ends at its last sample in January, and what the link moved since
    // counts in the new month and billing period.
    m_clock.Set(LocalTime(2002, 2, 6, 0, 0, 1));
    m_shell.Clear();
    Sample(25 * MB, 0);
    EXPECT_EQ("Tarvolo: 6,00 MByte, 6 von 1.000 MB", LastTip());
    Report(0);
    EXPECT_EQ("Tarvolo: 6,00 MByte, 6 von 1.000 MB", LastTip());
    EXPECT_TRUE(Balloons().empty());
}

// Offline nothing samples: a timer at most a day ahead brings the new billing period's
// tooltip, a second after it begins, and without a limit there is none.
TEST_F(VolumeLimitTest, OfflineTheTooltipFollowsTheBillingDay) {
    VOLUMESETTINGS settings = Limit(1000);
    settings.nBillingDay = 6;
    BeginWithLimit(settings, 795);
    const auto periodTimer = [this](UINT uElapse) {
        return TimerCall{true, Window(), IDT_PERIOD_START, uElapse};
    };
    m_accounting->ArmPeriodStartTimer();
    EXPECT_EQ(periodTimer(24 * 3600 * 1000), TimerCalls().back());

    m_clock.Set(LocalTime(2002, 2, 5, 23, 0, 0));
    m_accounting->OnTimer(IDT_PERIOD_START);
    EXPECT_EQ("Tarvolo: 0,00 MByte, 795 von 1.000 MB", LastTip());
    EXPECT_EQ(periodTimer(3601 * 1000), TimerCalls().back());

    m_clock.Set(LocalTime(2002, 2, 6, 0, 0, 1));
    m_accounting->OnTimer(IDT_PERIOD_START);
    EXPECT_EQ("Tarvolo: 0,00 MByte, 0 von 1.000 MB", LastTip());

    m_watch->ChangeSettings(Limit(0));
    TimerCalls().clear();
    m_accounting->ArmPeriodStartTimer();
    EXPECT_EQ(std::vector<TimerCall>({{false, Window(), IDT_PERIOD_START, 0}}), TimerCalls());
}

// A line up across the billing day: the new billing period counts the bytes after the first
// sample in it, received and sent apart, also after the hang-up and a restart; the month and the
// record keep the whole period. Changing the settings drops the split.
TEST_F(VolumeLimitTest, APeriodAcrossTheBillingDayCountsItsLaterBytesInTheNewOne) {
    VOLUMESETTINGS settings = Limit(1000, false);
    settings.nBillingDay = 6;
    BeginWithLimit(settings, 700);
    CVolumeWatch::SPLIT kept;
    const auto keep = [&kept](const CVolumeWatch::SPLIT& split) { kept = split; };
    m_watch->KeepSplitsIn(kept, keep);
    m_clock.Set(LocalTime(2002, 2, 5, 23, 59, 50));
    m_counter.Sampled(0, 0);
    Report(1, 1);
    Sample(100 * MB, 10 * MB);
    EXPECT_EQ(0, kept.periodStart);
    Sample(150 * MB, 20 * MB); // midnight: the first sample in the new billing period
    EXPECT_TRUE((CVolumeWatch::SPLIT{LocalTime(2002, 2, 6), LocalTime(2002, 2, 5, 23, 59, 50),
                                     150 * MB, 20 * MB}) == kept);
    Sample(200 * MB, 30 * MB);
    EXPECT_EQ("Tarvolo: 230,00 MByte, 60 von 1.000 MB", LastTip());
    Report(0);
    EXPECT_EQ("Tarvolo: 230,00 MByte, 60 von 1.000 MB", LastTip());

    StartWatch(settings);
    m_watch->KeepSplitsIn(kept, keep);
    m_accounting->SetVolumeWatch(m_watch.get());
    m_accounting->UpdateTrayIcon();
    EXPECT_EQ("Tarvolo: 230,00 MByte, 60 von 1.000 MB", LastTip());

    m_watch->ChangeSettings(Limit(1000, true, 80));
    EXPECT_EQ(0, kept.periodStart);
}

TEST_F(VolumeLimitTest, DeletingTheLogResetsTheUse) {
    BeginWithLimit(Limit(1000), 900);
    EXPECT_EQ("Tarvolo: 0,00 MByte, 900 von 1.000 MB", LastTip());
    m_log->DeleteAll();
    m_accounting->UpdateTrayIcon();
    EXPECT_EQ("Tarvolo: 0,00 MByte, 0 von 1.000 MB", LastTip());
}

// A tray icon the shell did not take shows no balloon: the warning comes as a message once the
// thread's message loop runs, while the accounting goes on.
TEST_F(VolumeLimitTest, WithoutABalloonTheWarningIsAMessageThatLetsTheCountingGoOn) {
    ExpectMessages();
    BeginWithLimit(Limit(1000), 850, &ShellCallLog::Refuse);
    EXPECT_TRUE(m_messages.Texts().empty()) << "not from inside the accounting";
    for (int i = 0; i < 50 && m_messages.Texts().empty(); ++i) {
        m_window.Pump();
        Sleep(20);
    }
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_EQ(0u, m_messages.Texts().front().find("80 % des Volumens erreicht: 850 von 1.000 MB"));
}

// A network adapter's period is cut by a sample at local midnight: each day's bytes land in
// their day, month and billing period, and no record spans a day.
TEST_F(VolumeLimitTest, AnAdaptersPeriodIsCutAtMidnightIntoItsDaysMonthsAndBillingPeriods) {
    m_clock.Set(LocalTime(2002, 1, 31, 23, 59, 50));
    BeginWithLimit(Limit(1000, false), 0);
    m_accounting->SetCutAtMidnight(true);
    m_counter.Sampled(0, 0);
    Report(1, 1);
    EXPECT_EQ((TimerCall{true, Window(), IDT_MIDNIGHT, 10000}), TimerCalls().back());
    Sample(100 * MB, 10 * MB);
    // A timer that comes early waits for the rest.
    m_clock.Set(LocalTime(2002, 1, 31, 23, 59, 59));
    m_accounting->OnTimer(IDT_MIDNIGHT);
    EXPECT_EQ((TimerCall{true, Window(), IDT_MIDNIGHT, 1000}), TimerCalls().back());
    m_counter.dwLiveReceived = 150 * MB;
    m_counter.dwLiveSent = 20 * MB;
    m_clock.Set(LocalTime(2002, 2, 1));
    m_accounting->OnTimer(IDT_MIDNIGHT);
    EXPECT_EQ((TimerCall{true, Window(), IDT_MIDNIGHT, 24 * 3600 * 1000}), TimerCalls().back());
    Sample(200 * MB, 30 * MB);
    EXPECT_EQ("Tarvolo: 60,00 MByte, 60 von 1.000 MB", LastTip());
    Report(0);

    std::vector<std::vector<std::int64_t>> booked;
    for (const CConnectionInfo& record : Records())
        booked.push_back(
            {record.m_timeStart, record.m_nDuration, record.m_nReceived / MB, record.m_nSent / MB});
    const std::vector<std::vector<std::int64_t>> expected = {
        {LocalTime(2002, 1, 29, 23, 59, 50), 600, 0, 1},
        {LocalTime(2002, 1, 31, 23, 59, 50), 10, 150, 20},
        {LocalTime(2002, 2, 1), 5, 50, 10}};
    EXPECT_EQ(expected, booked);
    const MonthTable months = ReadMonthFile();
    EXPECT_EQ(150 * MB, months[Clock::LocalMonth(LocalTime(2002, 1, 31))].nReceived);
    EXPECT_EQ(50 * MB, months[Clock::LocalMonth(LocalTime(2002, 2, 1))].nReceived);
}

// On XP an adapter has 32-bit counters, and its index changes when the device is plugged in
// again: a wrap at 4 GiB and a new start from 0 both go on counting, without phantom gigabytes
// and without a lost byte.
TEST_F(AccountingTest, AnXpAdapterCountsAcrossAWrapAndAPlugInAgain) {
    FakeXpIpHelper xp;
    CAdapterCounter counter("", "Mobilfunk"); // as a deployment script names it
    Begin();
    m_accounting->SetCounter(&counter);
    xp.dwInOctets = 0xFFF00000;
    xp.dwOutOctets = 1000;
    Report(1, 1);
    xp.dwInOctets = 0x00100000;
    xp.dwOutOctets = 2000;
    Tick();
    xp.PlugInAgain(5000, 300);
    Tick();
    xp.bPlugged = false;
    Tick(); // the device is away: the sample fails, the period keeps what it had
    xp.bPlugged = true;
    xp.dwInOctets = 6000;
    xp.dwOutOctets = 400;
    const CConnectionInfo record = HangUp();
    EXPECT_EQ(2 * MB + 6000, record.m_nReceived);
    EXPECT_EQ(1400, record.m_nSent);
}
