// The real tarvolo.exe under Wine with the dial-up simulator: start, online periods, the second
// start and "/quit", the start-up failures and the delete command.
#include "ShellOpenRecorder.h"
#include "TarvoloTest.h"
#include "framework/CFileReplacement.h"
#include "log/Clock.h"

#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

using namespace e2e;

namespace {

const std::string kRasFailed = "Der Zugriff auf das DF\xDC-Netzwerk ist fehlgeschlagen!";
const std::string kCounterFailed = "Die Volumenmessung konnte nicht initialisiert werden!";
const std::string kDeleteQuestion = "Sollen die Verbindungsdaten wirklich gel\xF6scht werden ?";

// A window of the test's own that takes the foreground away from the program under test.
class ForegroundThief {
public:
    ForegroundThief() {
        m_hWnd = CreateWindowExA(0, "STATIC", "Tarvolo E2E", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(m_hWnd);
        Pump();
    }
    ~ForegroundThief() { DestroyWindow(m_hWnd); }
    HWND Handle() const { return m_hWnd; }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

private:
    HWND m_hWnd;
};

} // namespace

TEST_F(Tarvolo, StartsWithNothingConnected_TrayIconAndTheFiveFilesButNoRecord) {
    ASSERT_NE(nullptr, StartRunning());
    EXPECT_TRUE(WaitForTrayIconCount(1, kPatience));
    for (const char* file : kReportFiles)
        EXPECT_TRUE(WaitUntil([&] { return install.Folder().Exists(file); }, kPatience)) << file;
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(2u, install.Folder().Read("clog.dat").value_or("").size()); // only the count
    EXPECT_EQ(0, Months()[CurrentMonth()].nReceived);

    ASSERT_TRUE(QuitRunning());
    EXPECT_TRUE(WaitForTrayIconCount(0, kPatience));
}

TEST_F(Tarvolo, DialInTrafficHangUp_OneRecordWithItsVolumesAndTheMonthEntry) {
    ASSERT_NE(nullptr, StartRunning());
    DialIn();
    Traffic(3 * kMegabyte, kMegabyte);
    HangUp();

    const CConnectionList records = WaitForRecords(1);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(3 * kMegabyte, records.front().m_nReceived);
    EXPECT_EQ(kMegabyte, records.front().m_nSent);
    EXPECT_GE(records.front().m_nDuration, 5);
    EXPECT_LE(records.front().m_nDuration, 30);
    EXPECT_NEAR(static_cast<double>(std::time(nullptr)),
                static_cast<double>(records.front().m_timeStart), 60.0);

    EXPECT_TRUE(WaitForMonthReceived(3 * kMegabyte));
    const MONTHTOTAL month = Months()[CurrentMonth()];
    EXPECT_EQ(kMegabyte, month.nSent);
    EXPECT_EQ(records.front().m_nDuration, month.nDuration);
    const std::string report = install.Folder().Read("clog.htm").value_or("");
    EXPECT_NE(std::string::npos, report.find("3,00")) << report;
    EXPECT_NE(std::string::npos, report.find("4,00")) << report; // the total

    ASSERT_TRUE(QuitRunning());
    EXPECT_EQ(1u, Records().size()); // nothing more to book at the end
}

// A sleep with the link up: the suspend books the running period at once with one more sample;
// the resume has the watcher count again and begins a new period, which counts on from the
// readings at the suspend, so that what the link moved while asleep is not lost.
TEST_F(Tarvolo, SuspendAndResumeWithTheLinkUp_TwoRecordsAndNoByteLost) {
    const HWND frame = StartRunning();
    ASSERT_NE(nullptr, frame);
    DialIn();
    Traffic(2 * kMegabyte, kMegabyte);
    EXPECT_EQ(TRUE, SendMessageA(frame, WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
    const CConnectionList booked = WaitForRecords(1);
    ASSERT_EQ(1u, booked.size());
    EXPECT_EQ(2 * kMegabyte, booked.front().m_nReceived);

    ASSERT_TRUE(Sim({{"received", std::to_string(1000 + 3 * kMegabyte)}})); // while asleep
    const long before = SamplesTaken();
    EXPECT_EQ(TRUE, SendMessageA(frame, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
    ExpectOnlinePeriodBegins(before);
    Traffic(4 * kMegabyte, 2 * kMegabyte);
    HangUp();
    const CConnectionList records = WaitForRecords(2);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(2 * kMegabyte, records.back().m_nReceived);
    EXPECT_EQ(kMegabyte, records.back().m_nSent);
    EXPECT_GE(records.back().m_timeStart, booked.front().m_timeStart + booked.front().m_nDuration);
}

// A billing period from today at 79 % of a 1,000 MB limit: a period that crosses 80 % shows the
// warning once, which the program keeps for the period, and a restart shows none again (Wine's
// tray would show it within its balloon delay of the start).
TEST_F(Tarvolo, AVolumeLimitWarnsOncePerBillingPeriodAcrossRestarts) {
    const std::time_t now = std::time(nullptr);
    const int today = std::localtime(&now)->tm_mday;
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kUserKey, "VolumeLimitMB", 1000));
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kUserKey, "BillingDay", today));
    {
        CFile clog(install.Folder().File("clog.dat"), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(clog, CArchive::store);
        StoreConnectionList(archive,
                            {CConnectionInfo(now - 120, 60, 780 * kMegabyte, 10 * kMegabyte)});
        archive.Close();
    }
    const auto warned = [] {
        return ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "VolumeWarnedPercent");
    };
    ASSERT_NE(nullptr, StartRunning());
    EXPECT_FALSE(warned().has_value()) << "a warning below the share";
    DialIn();
    Traffic(15 * kMegabyte, 0);
    EXPECT_TRUE(WaitUntil([&] { return warned() == std::string("\x50\0\0\0", 4); }, kPatience))
        << "no warning at 80 %";
    const auto period = ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "VolumeWarnedPeriod");
    ASSERT_TRUE(period.has_value());
    std::vector<std::string> balloons;
    EXPECT_TRUE(WaitUntil([&] { return !(balloons = BalloonTexts()).empty(); }, kPatience));
    ASSERT_EQ(1u, balloons.size());
    EXPECT_EQ(0u, balloons[0].find("80 % des Volumens erreicht: 805 von 1.000 MB bis "))
        << balloons[0];
    HangUp();
    ASSERT_TRUE(QuitRunning());
    EXPECT_TRUE(WaitUntil([] { return BalloonTexts().empty(); }, kPatience)) << "left behind";

    ASSERT_NE(nullptr, StartRunning());
    EXPECT_FALSE(WaitUntil([] { return !BalloonTexts().empty(); }, 2 * BALLOON_DELAY_MS + 1000))
        << "the warning shown again";
    ASSERT_TRUE(QuitRunning());
    EXPECT_EQ(std::string("\x50\0\0\0", 4), warned());
    EXPECT_EQ(period, ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "VolumeWarnedPeriod"));
    EXPECT_EQ(2u, Records().size());
}

TEST_F(Tarvolo, TwoOverlappingConnectionsFormOneOnlinePeriod) {
    ASSERT_NE(nullptr, StartRunning());
    DialIn();
    Traffic(kMegabyte, 0);
    Sim({{"connections", "2"}});
    Traffic(3 * kMegabyte, kMegabyte);
    Sim({{"connections", "1"}});
    Sleep(kWatcherNotices);
    EXPECT_TRUE(Records().empty()); // one connection is still up
    Traffic(5 * kMegabyte, 2 * kMegabyte);
    HangUp();

    const CConnectionList records = WaitForRecords(1);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(5 * kMegabyte, records.front().m_nReceived);
    EXPECT_EQ(2 * kMegabyte, records.front().m_nSent);
    ASSERT_TRUE(QuitRunning());
}

// Shorter than one measuring step: only the sample at the hang-up sees its traffic.
TEST_F(Tarvolo, AShortPeriodIsBookedWithTheTrafficUpToTheHangUp) {
    Sim({{"connections", "1"}});
    ASSERT_NE(nullptr, StartRunning()); // the period begins with the start
    Sim({{"received", std::to_string(1000 + 2 * kMegabyte)}, {"sent", "1500"}});
    HangUp();

    const CConnectionList records = WaitForRecords(1);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(2 * kMegabyte, records.front().m_nReceived);
    EXPECT_EQ(1000, records.front().m_nSent);
    EXPECT_LT(records.front().m_nDuration, 5);
    EXPECT_TRUE(WaitForMonthReceived(2 * kMegabyte));
    ASSERT_TRUE(QuitRunning());
}

TEST_F(Tarvolo, StartWhileConnected_TheOnlinePeriodBeginsAtOnceWithoutEarlierTraffic) {
    Sim({{"connections", "1"}, {"received", std::to_string(1000 + 7 * kMegabyte)}});
    ASSERT_NE(nullptr, StartRunning());
    Traffic(7 * kMegabyte + 2 * kMegabyte, kMegabyte);
    HangUp();
    ExpectOneRecord(2 * kMegabyte, kMegabyte);
    ASSERT_TRUE(QuitRunning());
}

// A connection is listed while it is still being dialled; only when it is through does the online
// period start, so the traffic before that is not booked.
TEST_F(Tarvolo, AConnectionStillDiallingStartsNoOnlinePeriodUntilItIsThrough) {
    ASSERT_NE(nullptr, StartRunning());
    Sim({{"connections", "1"},
         {"connection1", "dialling"},
         {"received", std::to_string(1000 + 5 * kMegabyte)},
         {"sent", std::to_string(500 + kMegabyte)}});
    Sleep(kOneMeasuringStep);
    EXPECT_EQ(0, SamplesTaken());
    EXPECT_TRUE(Records().empty());

    Sim({{"connection1", "connected"}});
    ExpectOnlinePeriodBegins(0);
    Traffic(5 * kMegabyte + 2 * kMegabyte, kMegabyte + kMegabyte);
    HangUp();
    ExpectOneRecord(2 * kMegabyte, kMegabyte);
    ASSERT_TRUE(QuitRunning());
}

namespace {

// A receive counter that the system keeps in 32 bits wraps at 4 GiB, one kept in 64 bits goes
// on; meanwhile the long format of PDH, which the program must not rely on, clamps or fails.
struct LargeCountCase {
    const char* name;
    const char* counterBits;
    const char* longFormat;
};

void PrintTo(const LargeCountCase& c, std::ostream* os) {
    *os << c.name;
}

const LargeCountCase LARGE_COUNTS[] = {{"Counter32BitsLongClamps", "32", "clamp"},
                                       {"Counter64BitsLongFails", "64", "error"}};

class TarvoloLargeCounts : public Tarvolo, public ::testing::WithParamInterface<LargeCountCase> {};

} // namespace

TEST_P(TarvoloLargeCounts, AnOnlinePeriodPastTwoAndFourGiBBooksTheExactVolume) {
    const long long kGiB = 1024 * kMegabyte;
    Sim({{"counter_bits", GetParam().counterBits},
         {"pdh_long", GetParam().longFormat},
         {"received", std::to_string(2 * kGiB - kMegabyte)}});
    ASSERT_NE(nullptr, StartRunning());
    DialIn();
    Counters(3 * kGiB + kMegabyte, m_nSent);
    Counters(4 * kGiB + kMegabyte, m_nSent);
    HangUp();
    ExpectOneRecord(2 * kGiB + 2 * kMegabyte, 0);
    EXPECT_TRUE(WaitForMonthReceived(2 * kGiB + 2 * kMegabyte));
    ASSERT_TRUE(QuitRunning());
}

INSTANTIATE_TEST_SUITE_P(Counters, TarvoloLargeCounts, ::testing::ValuesIn(LARGE_COUNTS),
                         RowName());

TEST_F(Tarvolo, SecondStartOpensTheSheetOnce_ThirdBringsItForward) {
    ASSERT_NE(nullptr, StartRunning());
    const DWORD pid = running->ProcessId();
    EXPECT_EQ(0u, StartAndWait("").value_or(999));
    ASSERT_EQ(1u, SheetsOf(pid).size());
    const HWND sheet = SheetsOf(pid).front();
    EXPECT_TRUE(IsWindowVisible(sheet));
    // The second instance ended without touching the registry.
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "Profile").has_value());

    {
        ForegroundThief thief;
        ASSERT_EQ(thief.Handle(), GetForegroundWindow());
        EXPECT_EQ(0u, StartAndWait("").value_or(999));
        ForegroundThief::Pump();
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == sheet; }, kPatience));
    }
    EXPECT_EQ(std::vector<HWND>{sheet}, SheetsOf(pid));

    // Quitting with the sheet open ends the program all the same.
    ASSERT_TRUE(QuitRunning());
    EXPECT_TRUE(SheetsOf(pid).empty());
}

// A sheet closed by OK or Abbrechen leaves nothing behind that could keep the next second start
// from opening a new one, however often and however soon after the closing that is done. The
// click is posted, as a real one arrives.
TEST_F(Tarvolo, EverySecondStartOpensTheSheetAfterItWasClosedByOkOrCancel) {
    // Without a window manager Wine takes two seconds to take a managed window away: a second
    // start half a second after the sheet disappeared asks while it is still going.
    const std::string x11Driver = "Software\\Wine\\X11 Driver";
    ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, x11Driver, "Managed", "Y"));
    ASSERT_NE(nullptr, StartRunning());
    WriteRegistryString(HKEY_CURRENT_USER, x11Driver, "Managed", "N");
    const DWORD pid = running->ProcessId();
    const WindowQuery dialogs{"#32770", "", pid};
    for (const int button : {IDOK, IDCANCEL, IDOK, IDOK, IDCANCEL, IDCANCEL, IDOK}) {
        SCOPED_TRACE(button == IDOK ? "OK" : "Abbrechen");
        EXPECT_EQ(0u, StartAndWait("").value_or(999));
        ASSERT_EQ(1u, SheetsOf(pid).size());
        const HWND sheet = SheetsOf(pid).front();
        EXPECT_TRUE(IsWindowVisible(sheet));
        EXPECT_EQ(std::vector<HWND>{sheet}, FindTopLevelWindows(dialogs));
        PostMessageA(GetDlgItem(sheet, button), BM_CLICK, 0, 0);
        // Gone for the user: no longer shown, while the window may still be on its way out.
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(sheet); }, kPatience));
        Sleep(500);
    }
    EXPECT_TRUE(WaitForNoWindow(dialogs, kPatience));
    ASSERT_TRUE(QuitRunning());
}

// Starts at the same moment, as a double double-click on a slow machine or an autostart racing a
// start by hand: one program runs, with one tray icon, and books an online period once. The
// others hand it their request as any second start does.
TEST_F(Tarvolo, StartsAtTheSameMomentLeaveOneProgramThatBooksEachPeriodOnce) {
    std::vector<std::unique_ptr<ProgramRun>> starts;
    for (int i = 0; i < 4; ++i)
        starts.push_back(install.Start(""));
    const HWND frame = WaitForWindow({kFrameClass, "", 0}, kPatience);
    ASSERT_NE(nullptr, frame);
    const DWORD runningId = WindowProcessId(frame);
    for (auto& start : starts) {
        if (start->ProcessId() == runningId)
            running = std::move(start);
        else
            EXPECT_EQ(0u, start->WaitForExit(kPatience).value_or(999));
    }
    ASSERT_TRUE(running);
    ASSERT_TRUE(running->WaitUntilIdle(kPatience));
    EXPECT_EQ(std::vector<HWND>{frame}, FindTopLevelWindows({kFrameClass, "", 0}));
    EXPECT_TRUE(WaitForTrayIconCount(1, kPatience));
    EXPECT_EQ(1u, SheetsOf(runningId).size()); // the others' requests

    DialIn();
    Traffic(kMegabyte, 0);
    HangUp();
    ExpectOneRecord(kMegabyte, 0);
    EXPECT_TRUE(WaitForMonthReceived(kMegabyte));
    ASSERT_TRUE(QuitRunning());
    EXPECT_EQ(1u, Records().size());
    EXPECT_EQ(kMegabyte, Months()[CurrentMonth()].nReceived); // once, as the one record
}

// "/quit" started with the first start: it ends that program or finds none, and never becomes a
// program of its own.
TEST_F(Tarvolo, AQuitRacingTheFirstStartEndsItOrFindsNoneButNeverMakesTwo) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        running = install.Start("");
        auto quit = install.Start("/quit");
        EXPECT_EQ(0u, quit->WaitForExit(kPatience).value_or(999));
        EXPECT_LE(FindTopLevelWindows({kFrameClass, "", 0}).size(), 1u);
        // Ended by the quit within a few seconds, or the quit came first and found none.
        if (!running->WaitForExit(5000).has_value()) {
            ASSERT_TRUE(running->WaitUntilIdle(kPatience));
            EXPECT_EQ(1u, FindTopLevelWindows({kFrameClass, "", 0}).size());
            ASSERT_TRUE(QuitRunning());
        }
        EXPECT_TRUE(FindTopLevelWindows({kFrameClass, "", 0}).empty());
        EXPECT_TRUE(WaitForTrayIconCount(0, kPatience));
    }
}

TEST_F(Tarvolo, QuitWhileConnected_RecordsTheRunningConnectionAndSavesTheSettings) {
    ASSERT_NE(nullptr, StartRunning());
    DialIn();
    Traffic(2 * kMegabyte, kMegabyte);
    ASSERT_TRUE(Records().empty());

    ASSERT_TRUE(QuitRunning());
    const CConnectionList records = Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(2 * kMegabyte, records.front().m_nReceived);
    EXPECT_EQ(kMegabyte, records.front().m_nSent);
    EXPECT_EQ(2 * kMegabyte, Months()[CurrentMonth()].nReceived);

    const std::string profile =
        ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "Profile").value_or("");
    ASSERT_EQ(16u, profile.size());
    EXPECT_EQ(std::string("\x10\0\0\0", 4), profile.substr(0, 4)); // dwSize
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarvolo").has_value());
    EXPECT_TRUE(WaitForTrayIconCount(0, kPatience));
}

// The session ends without the normal exit: the period, the totals and the settings are saved
// while the program is told, and it closes on its own.
TEST_F(Tarvolo, SessionEndWhileConnected_BooksThePeriodAndSavesTheSettings) {
    Sim({{"connections", "1"}});
    ASSERT_NE(nullptr, StartRunning()); // the period begins with the start
    Sim({{"received", std::to_string(1000 + 2 * kMegabyte)},
         {"sent", std::to_string(500 + kMegabyte)}});

    ProgramRun endSession(SystemProgram("wineboot.exe"), "--end-session");
    ASSERT_TRUE(endSession.Started());
    ASSERT_TRUE(running->WaitForExit(kPatience).has_value());
    endSession.WaitForExit(kPatience);
    ExpectOneRecord(2 * kMegabyte, kMegabyte);
    EXPECT_EQ(2 * kMegabyte, Months()[CurrentMonth()].nReceived);
    EXPECT_EQ(16u, ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "Profile").value_or("").size());
}

// "Beenden" while the delete question is up: the question closes unanswered and deletes
// nothing, and the program ends only after it, with nothing used after it was freed (Wine's
// heap checking fills freed blocks, so such a use crashes the program).
TEST_F(Tarvolo, QuitWhileTheDeleteQuestionIsUp_NothingDeletedAndACleanEnd) {
    const HWND frame = StartRunning({{"WINEDEBUG", "warn+heap"}});
    ASSERT_NE(nullptr, frame);
    DialIn();
    HangUp();
    ASSERT_EQ(1u, WaitForRecords(1).size());

    PostMessageA(frame, WM_COMMAND, 32775, 0); // "Logdatei &löschen"
    auto box = MessageBoxWindow::WaitFor(running->ProcessId(), kPatience);
    ASSERT_TRUE(box.has_value());
    PostMessageA(frame, WM_COMMAND, 57665, 0); // "&Beenden"
    EXPECT_EQ(0u, running->WaitForExit(kPatience).value_or(999));
    EXPECT_EQ(1u, Records().size());
}

// A scanner or a backup holds both data files while a period ends: the period waits in memory and
// reaches them, once, when they are free again (here: at the exit).
TEST_F(Tarvolo, DataFilesHeldWhileAPeriodEnds_ThePeriodIsWrittenOnceTheyAreFree) {
    Sim({{"connections", "1"}});
    ASSERT_NE(nullptr, StartRunning()); // the period begins with the start
    const std::string before = install.Folder().Read("clog.dat").value_or("");
    {
        CFile clog(install.Folder().File("clog.dat"), CFile::modeRead | CFile::shareDenyNone);
        CFile mlog(install.Folder().File("mlog.dat"), CFile::modeRead | CFile::shareDenyNone);
        Sim({{"received", std::to_string(1000 + 3 * kMegabyte)}});
        HangUpAfterLastSample();
        Sleep(2 * CFileReplacement::TARGET_IN_USE_PATIENCE_MS); // it gave up
        EXPECT_EQ(before, install.Folder().Read("clog.dat").value_or(""));
    }
    ASSERT_TRUE(QuitRunning());
    ExpectOneRecord(3 * kMegabyte, 0);
    EXPECT_EQ(3 * kMegabyte, Months()[CurrentMonth()].nReceived);
}

// A month file that another program holds at the start says nothing about the log's age: it is
// reported, and neither it nor the connections are reset. The program counts while the report
// is up: a period dialled meanwhile is booked with its whole volume.
TEST_F(Tarvolo, AMonthFileUnreadableAtStart_IsReportedAndTheLogIsKeptWhileTheProgramCounts) {
    const TIME64 start = Clock::Now() - 600;
    {
        CFile clog(install.Folder().File("clog.dat"), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(clog, CArchive::store);
        StoreConnectionList(archive, {CConnectionInfo(start, 60, 5 * kMegabyte, kMegabyte)});
        archive.Close();
        MonthTable months{};
        months[Clock::LocalMonth(start)] = {60, 0, 5 * kMegabyte, kMegabyte};
        CFile mlog(install.Folder().File("mlog.dat"), CFile::modeCreate | CFile::modeWrite);
        WriteMonthLog(mlog, Clock::Now() - 60, months);
    }
    auto holder = std::make_unique<CFile>(install.Folder().File("mlog.dat"),
                                          CFile::modeRead | CFile::shareExclusive);
    running = install.Start("");
    auto box = MessageBoxWindow::WaitFor(running->ProcessId(), kPatience);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Die Datei " + install.Folder().File("mlog.dat") +
                  " kann nicht gelesen werden. Tarvolo z\xE4hlt weiter, ver\xE4ndert die Datei "
                  "aber erst, wenn sie wieder lesbar ist.",
              box->Text());
    EXPECT_TRUE(WaitForTrayIconCount(1, kPatience));
    DialIn();
    Traffic(2 * kMegabyte, kMegabyte);
    HangUp();
    ASSERT_EQ(2u, WaitForRecords(2).size());
    EXPECT_EQ(2 * kMegabyte, Records().back().m_nReceived);
    EXPECT_EQ(kMegabyte, Records().back().m_nSent);

    holder.reset();
    EXPECT_TRUE(box->Press(IDOK));
    ASSERT_TRUE(QuitRunning());
    EXPECT_EQ(2u, Records().size());
    // The totals it held, with the period booked while it could not be read.
    EXPECT_EQ(5 * kMegabyte + 2 * kMegabyte, Months()[Clock::LocalMonth(start)].nReceived);
}

TEST_F(Tarvolo, QuitInAnyLetterCaseAndInsideAWord) {
    ASSERT_NE(nullptr, StartRunning());
    EXPECT_TRUE(StartAndWait("--please/QuIt-now").has_value());
    EXPECT_TRUE(running->WaitForExit(kPatience).has_value());
}

TEST_F(Tarvolo, QuitWithNothingRunningStartsNothingAndWritesNothing) {
    running = install.Start("/quit");
    EXPECT_EQ(0u, running->WaitForExit(kPatience).value_or(999));
    for (const char* file : kReportFiles)
        EXPECT_FALSE(install.Folder().Exists(file)) << file;
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "Profile").has_value());
    EXPECT_TRUE(FindTopLevelWindows({kFrameClass, "", 0}).empty());
}

TEST_F(Tarvolo, RemoteAccessManagerFails_Message135AndTheRunValueGoes) {
    ASSERT_TRUE(
        WriteRegistryString(HKEY_LOCAL_MACHINE, kRunKey, "Tarvolo", "\"C:\\x\\tarvolo.exe\""));
    Sim({{"rasman", "fail"}});
    running = install.Start();
    auto box = MessageBoxWindow::WaitFor(running->ProcessId(), kPatience);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(kRasFailed, box->Text());
    EXPECT_EQ(std::vector<int>{IDOK}, box->Buttons());
    EXPECT_TRUE(box->HasIcon());
    EXPECT_TRUE(box->Press(IDOK));
    EXPECT_TRUE(running->WaitForExit(kPatience).has_value());
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarvolo").has_value());
    EXPECT_TRUE(TrayIconWindows().empty());
}

TEST_F(Tarvolo, MissingByteCounter_Message136AndTheProgramEnds) {
    Sim({{"pdh_received", ""}});
    running = install.Start();
    auto box = MessageBoxWindow::WaitFor(running->ProcessId(), kPatience);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(kCounterFailed, box->Text());
    EXPECT_TRUE(box->HasIcon());
    EXPECT_TRUE(box->Press(IDOK));
    EXPECT_TRUE(running->WaitForExit(kPatience).has_value());
    EXPECT_TRUE(WaitForTrayIconCount(0, kPatience));
}

TEST_F(Tarvolo, PdhLibraryAbsent_TheLateBindingMessageAndTheProgramEnds) {
    ASSERT_TRUE(install.Folder().Remove("pdh.dll"));
    ASSERT_TRUE(install.SetLibraryLoadOrder("pdh", "native"));
    running = install.Start();
    auto box = MessageBoxWindow::WaitFor(running->ProcessId(), kPatience);
    install.SetLibraryLoadOrder("pdh", "native,builtin");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Dll not found: pdh.dll", box->Text());
    EXPECT_TRUE(box->Press(IDOK));
    EXPECT_TRUE(running->WaitForExit(kPatience).has_value());
}

TEST_F(Tarvolo, DeleteLogAsksFirst_NoKeepsEverythingYesDeletes) {
    const HWND frame = StartRunning();
    ASSERT_NE(nullptr, frame);
    DialIn();
    Traffic(kMegabyte, kMegabyte);
    HangUp();
    const CConnectionList records = WaitForRecords(1);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(kMegabyte, records.front().m_nReceived);
    const std::string dataBefore = install.Folder().Read("clog.dat").value_or("");

    // "Logdatei &löschen" from the tray menu, answered with No.
    PostMessageA(frame, WM_COMMAND, 32775, 0);
    auto box = MessageBoxWindow::WaitFor(running->ProcessId(), kPatience);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(kDeleteQuestion, box->Text());
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box->Buttons());
    EXPECT_TRUE(box->HasIcon());
    EXPECT_TRUE(box->Press(IDNO));
    ASSERT_TRUE(box->WaitUntilClosed(kPatience));
    ASSERT_TRUE(FrameHasCaughtUp(frame)); // the answer has been acted on
    EXPECT_EQ(dataBefore, install.Folder().Read("clog.dat").value_or(""));
    EXPECT_EQ(kMegabyte, Months()[CurrentMonth()].nReceived);

    // Again, answered with Yes.
    PostMessageA(frame, WM_COMMAND, 32775, 0);
    box = MessageBoxWindow::WaitFor(running->ProcessId(), kPatience);
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(box->Press(IDYES));
    EXPECT_TRUE(WaitUntil([&] { return Records().empty(); }, kPatience));
    EXPECT_TRUE(WaitUntil([&] { return Months()[CurrentMonth()].nReceived == 0; }, kPatience));
    ASSERT_TRUE(QuitRunning());
}

TEST_F(Tarvolo, InfoShowsTheAboutDialogAndBeendenEndsTheProgram) {
    const HWND frame = StartRunning();
    ASSERT_NE(nullptr, frame);
    PostMessageA(frame, WM_COMMAND, 57664, 0); // "Info..."
    const HWND about = WaitForWindow({"#32770", "Info", running->ProcessId()}, kPatience);
    ASSERT_NE(nullptr, about);
    EXPECT_EQ("Tarvolo", WindowText(GetDlgItem(about, 1027)));
    EXPECT_EQ("Version 1.1", WindowText(GetDlgItem(about, 1028)));
    SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitForNoWindow({"#32770", "Info", running->ProcessId()}, kPatience));

    PostMessageA(frame, WM_COMMAND, 57665, 0); // "&Beenden"
    EXPECT_TRUE(running->WaitForExit(kPatience).has_value());
    EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "Profile").has_value());
    EXPECT_TRUE(WaitForTrayIconCount(0, kPatience));
}

TEST_F(Tarvolo, StartWithWindowsTickedAndOkWritesTheRunValueAtOnce) {
    ASSERT_NE(nullptr, StartRunning());
    EXPECT_EQ(0u, StartAndWait("").value_or(999));
    const HWND sheet = WaitForWindow({"", kSheetCaption, running->ProcessId()}, kPatience);
    ASSERT_NE(nullptr, sheet);
    HWND autoStart = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND page = GetWindow(sheet, GW_CHILD); page && !autoStart;
                 page = GetWindow(page, GW_HWNDNEXT))
                autoStart = GetDlgItem(page, 1005);
            return autoStart != nullptr;
        },
        kPatience));
    SendMessageA(autoStart, BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitForNoWindow({"", kSheetCaption, running->ProcessId()}, kPatience));

    const std::string expected = "\"" + install.Program() + "\"" + std::string(1, '\0');
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarvolo").value_or("") ==
                   expected;
        },
        kPatience))
        << ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarvolo").value_or("(missing)");
    // The settings are saved once the frame has taken the sheet's OK, after the Run value.
    std::string profile;
    EXPECT_TRUE(WaitUntil(
        [&] {
            profile = ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "Profile").value_or("");
            return profile.size() == 16;
        },
        kPatience));
    ASSERT_EQ(16u, profile.size());
    EXPECT_EQ(std::string("\x01\0\0\0", 4), profile.substr(4, 4)); // bAutoStart

    // The value stays at a normal end, since the setting says so.
    ASSERT_TRUE(QuitRunning());
    EXPECT_EQ(expected, ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarvolo").value_or(""));
}

// Without a limit the page counts the calendar month: the booked period, and then, while the
// page is open, the running one at its samples. From the month's second day on it forecasts to
// the first of the next month.
TEST_F(Tarvolo, TheHistoryPageShowsTheMonthsUseAndFollowsTheRunningPeriod) {
    ASSERT_NE(nullptr, StartRunning());
    DialIn();
    Traffic(3 * kMegabyte, kMegabyte);
    HangUp();
    ASSERT_EQ(1u, WaitForRecords(1).size());
    EXPECT_EQ(0u, StartAndWait("").value_or(999));
    const HWND sheet = WaitForWindow({"", kSheetCaption, running->ProcessId()}, kPatience);
    ASSERT_NE(nullptr, sheet);
    SendMessageA(sheet, PSM_SETCURSEL, 3, 0); // "Verlauf"
    char line[256] = {};
    const auto lineStarts = [&](const std::string& start) {
        SendMessageA(GetDlgItem(PropSheet_GetCurrentPageHwnd(sheet), 1041), WM_GETTEXT, sizeof line,
                     reinterpret_cast<LPARAM>(line));
        return std::string(line).find(start) == 0;
    };
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    char forecast[64] = {};
    if (local.tm_mday > 1)
        std::snprintf(forecast, sizeof forecast, "; bei gleichem Verbrauch bis 01.%02d.: etwa ",
                      local.tm_mon == 11 ? 1 : local.tm_mon + 2);
    EXPECT_TRUE(WaitUntil([&] { return lineStarts("Verbraucht: 4 MB" + std::string(forecast)); },
                          kPatience))
        << line;

    DialIn();
    Traffic(7 * kMegabyte, 3 * kMegabyte); // 4 and 2 MB more
    EXPECT_TRUE(WaitUntil([&] { return lineStarts("Verbraucht: 10 MB"); }, kPatience)) << line;
    HangUp();
    ASSERT_TRUE(QuitRunning());
}

TEST_F(Tarvolo, DoubleClickOnTheTrayIconOpensTheReportWithTheShell) {
    TestFolder& folder = install.Folder();
    ShellOpenRecorder recorder(folder.Copy(RecorderProgram()), folder.File("openings.txt"));
    ASSERT_TRUE(recorder.Registered());
    const HWND frame = StartRunning();
    ASSERT_NE(nullptr, frame);

    // What the notification area sends for a double click on the icon (id 130).
    PostMessageA(frame, WM_USER + 10, 130, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(recorder.WaitForOpenings(1, kPatience));
    EXPECT_EQ(0, lstrcmpiA(folder.File("frame.htm").c_str(), recorder.Openings()[0].c_str()))
        << recorder.Openings()[0];
    ASSERT_TRUE(QuitRunning());
}
