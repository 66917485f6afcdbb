// Booking and recording connections: "clog.dat", "mlog.dat" and the two report pages.
#include "ExpectedPages.h"
#include "LogFolderTest.h"
#include "support/TableRow.h"
#include "support/WorkedExampleFile.h"

namespace {

// Its rows under German settings in Berlin.
const std::string FIRST_ROW =
    Row({ShortDate(0x3C46A0A0), "11:00:00", "01:02:03 ", "1,50", "0,25", "1,75"});
const std::string SECOND_ROW =
    Row({ShortDate(0x3C47F220), "11:00:00", "00:01:00 ", "0,01", "0,00", "0,01"});

class LogRecording : public LogFolderTest {
protected:
    std::string ConnectionPage() const { return ReadFileText(Path("clog.htm")); }
    std::string ConnectionPageOf(const std::string& rows) const {
        return TemplateOnDisk(IDR_CLOG_HEAD) + rows + CONNECTION_PAGE_FOOT;
    }

    // A log started an hour after the worked example's second connection, over its file.
    std::unique_ptr<CConnectionLog> OpenOverTheWorkedExample(const MonthTable& table = {}) {
        m_clock.Set(0x3C47F220 + 3600);
        WriteRecentMonthFile(table);
        WriteFileBytes(Path("clog.dat"), WORKED_EXAMPLE);
        return OpenLog();
    }
};

struct Reading {
    std::int64_t received;
    std::int64_t sent;
};

// The counter readings at the start (-1: missing) and at each update of one connection, and the
// volumes it books to January.
struct Readings {
    const char* name;
    Reading atStart;
    std::vector<Reading> updates;
    Reading booked;
};

void PrintTo(const Readings& row, std::ostream* os) {
    *os << row.name;
}

class LogVolumes : public LogRecording, public ::testing::WithParamInterface<Readings> {};

std::vector<TIME64> StartsOf(const CConnectionList& list) {
    std::vector<TIME64> starts;
    for (const CConnectionInfo& info : list)
        starts.push_back(info.m_timeStart);
    return starts;
}

} // namespace

TEST_F(LogRecording, TwoConnectionsGiveTheWorkedExample) {
    m_clock.Set(0x3C46A0A0 - 3600);
    auto log = OpenLog();
    Connect(*log, 0x3C46A0A0, 3723, 1572864, 262144);
    Connect(*log, 0x3C47F220, 60, 10000, 2000);

    EXPECT_EQ(WORKED_EXAMPLE, ReadFileBytes(Path("clog.dat")));
    EXPECT_EQ(ConnectionPageOf(FIRST_ROW + SECOND_ROW), ConnectionPage());

    TIME64 saveTime = 0;
    const MonthTable table = ReadMonthFile(&saveTime);
    EXPECT_EQ(0x3C47F220 + 60, saveTime);
    EXPECT_EQ(3723 + 60, table[1].nDuration);
    EXPECT_EQ(1572864 + 10000, table[1].nReceived);
    EXPECT_EQ(262144 + 2000, table[1].nSent);
    EXPECT_EQ(MonthPage({{"November", "00:00:00 ", "0,00", "0,00", "0,00"},
                         {"Dezember", "00:00:00 ", "0,00", "0,00", "0,00"},
                         {"Januar", "01:03:03 ", "1,51", "0,25", "1,76"}}),
              ReadFileText(Path("mlog.htm")));
}

TEST_F(LogRecording, BothSortOrders) {
    auto log = OpenOverTheWorkedExample();

    log->SetSortOrder(false);
    EXPECT_EQ(ConnectionPageOf(SECOND_ROW + FIRST_ROW), ConnectionPage());
    EXPECT_EQ(WORKED_EXAMPLE, ReadFileBytes(Path("clog.dat"))); // the file stays oldest first

    log->SetSortOrder(true);
    EXPECT_EQ(ConnectionPageOf(FIRST_ROW + SECOND_ROW), ConnectionPage());
    EXPECT_EQ(WORKED_EXAMPLE, ReadFileBytes(Path("clog.dat")));
}

TEST_F(LogRecording, NewestFirstStillAppendsTheNewConnectionToTheFile) {
    auto log = OpenOverTheWorkedExample();
    log->SetSortOrder(false);
    Connect(*log, 0x3C47F220 + 7200, 59, 0, 0);

    const CConnectionList list = ReadConnectionFile();
    EXPECT_EQ((std::vector<TIME64>{0x3C46A0A0, 0x3C47F220, 0x3C47F220 + 7200}), StartsOf(list));
    const std::string page = ConnectionPage();
    EXPECT_LT(page.find("00:00:59 "), page.find("00:01:00 "));
    EXPECT_LT(page.find("00:01:00 "), page.find("01:02:03 "));
}

TEST_F(LogRecording, ConnectionsOf93WholeDaysDisappearAndYoungerOnesStay) {
    const TIME64 now = Clock::Now();
    WriteRecentMonthFile();
    WriteConnectionFile({CConnectionInfo(now - 93 * DAY, 1, 0, 0),
                         CConnectionInfo(now - 93 * DAY + 3600, 2, 0, 0),
                         CConnectionInfo(now - DAY, 3, 0, 0)});
    auto log = OpenLog();
    Connect(*log, now, 4, 0, 0);

    EXPECT_EQ((std::vector<TIME64>{now - 93 * DAY + 3600, now - DAY, now}),
              StartsOf(ReadConnectionFile()));
    const std::string page = ConnectionPage();
    EXPECT_EQ(3, CountOf(page, "<tr>"));
    EXPECT_EQ(std::string::npos, page.find("00:00:01 "));
    EXPECT_NE(std::string::npos, page.find("00:00:02 "));
}

TEST_F(LogRecording, AConnectionIsBookedToTheMonthOfItsStartAtTheLastUpdate) {
    WriteRecentMonthFile();
    auto log = OpenLog();
    const TIME64 start = Clock::Now();
    log->StartConnection(1000, 2000);
    log->UpdateConnection(1000, 2000);
    m_clock.Advance(10);
    log->UpdateConnection(1000 + MB, 2000 + 2 * MB);
    std::string text;
    log->GetVolumeText(text);
    EXPECT_EQ("3,00", text);

    m_clock.Advance(10);
    log->UpdateConnection(0, 0); // readings of 0 leave both volumes
    log->GetVolumeText(text);
    EXPECT_EQ("3,00", text);
    m_clock.Advance(100); // not seen: ending reads neither counters nor clock
    log->EndConnection();

    const MonthTable table = ReadMonthFile();
    EXPECT_EQ(20, table[1].nDuration);
    EXPECT_EQ(MB, table[1].nReceived);
    EXPECT_EQ(2 * MB, table[1].nSent);
    const CConnectionList list = ReadConnectionFile();
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(start, list.front().m_timeStart);
    EXPECT_EQ(20, list.front().m_nDuration);
}

// ---- the volumes booked for a connection's counter readings

TEST_P(LogVolumes, AreTheLastReadingsLessThoseAtTheStart) {
    const Readings& row = GetParam();
    WriteRecentMonthFile();
    auto log = OpenLog();
    log->StartConnection(row.atStart.received, row.atStart.sent);
    for (const Reading& update : row.updates)
        log->UpdateConnection(update.received, update.sent);
    log->EndConnection();
    EXPECT_EQ(row.booked.received, ReadMonthFile()[1].nReceived);
    EXPECT_EQ(row.booked.sent, ReadMonthFile()[1].nSent);
}

INSTANTIATE_TEST_SUITE_P(LogRecording, LogVolumes,
                         ::testing::Values(Readings{"AReadingOfZeroLeavesOnlyItsOwnVolume",
                                                    {100, 100},
                                                    {{100 + MB, 0}, {0, 100 + 3 * MB}},
                                                    {MB, 3 * MB}},
                                           Readings{
                                               "MissingStartReadingsAreTakenFromTheFirstUpdate",
                                               {-1, 5000},
                                               {{7000, 9000}, {7000 + MB, 9000 + 2 * MB}},
                                               {MB, 2 * MB}},
                                           Readings{"ACounterBelowItsStartGivesANegativeVolume",
                                                    {5000, 5000},
                                                    {{4000, 6000}},
                                                    {-1000, 1000}}),
                         RowName());

TEST_F(LogRecording, ANewStartDropsTheRunningConnectionUnbooked) {
    WriteRecentMonthFile();
    auto log = OpenLog();
    log->StartConnection(0, 0);
    log->UpdateConnection(5 * MB, 5 * MB);
    m_clock.Advance(30);
    log->StartConnection(0, 0);
    log->UpdateConnection(MB, 0);
    log->EndConnection();
    EXPECT_EQ(MB, ReadMonthFile()[1].nReceived);
    EXPECT_EQ(0, ReadMonthFile()[1].nSent);
    EXPECT_EQ(1u, ReadConnectionFile().size());
}

TEST_F(LogRecording, EndConnectionWithNothingRunningWritesNothing) {
    auto log = OpenLog();
    for (const char* name : {"clog.dat", "mlog.dat", "frame.htm", "clog.htm", "mlog.htm"})
        DeleteFileA(Path(name).c_str());
    log->EndConnection();
    log->UpdateConnection(MB, MB);
    log.reset(); // an idle log ends without writing either
    for (const char* name : {"clog.dat", "mlog.dat", "frame.htm", "clog.htm", "mlog.htm"})
        EXPECT_FALSE(FileExists(Path(name))) << name;
}

TEST_F(LogRecording, ExitWhileConnectedBooksAndRecordsTheConnection) {
    WriteRecentMonthFile();
    auto log = OpenLog();
    log->StartConnection(0, 0);
    m_clock.Advance(42);
    log->UpdateConnection(MB, MB);
    log.reset();
    EXPECT_EQ(42, ReadMonthFile()[1].nDuration);
    ASSERT_EQ(1u, ReadConnectionFile().size());
    EXPECT_EQ(1, CountOf(ConnectionPage(), "<tr>"));
}

// The running connection reaches "clog.run" at its first update and once an interval has passed
// since it last did (the samples' jitter allowed for), and leaves it once both data files hold
// it.
TEST_F(LogRecording, TheRunningConnectionIsCheckpointedEveryIntervalUntilItIsBooked) {
    WriteRecentMonthFile();
    auto log = OpenLog();
    log->SetCheckpointInterval(60);
    const TIME64 start = Clock::Now();
    log->StartConnection(0, 0);
    CRunningCheckpoint checkpoint;
    checkpoint.SetPath(Path("clog.run"));
    // seconds online at each update, and the duration "clog.run" then holds
    const std::pair<int, int> updates[] = {{5, 5},    {55, 5},    {63, 5},   {64, 64},
                                           {122, 64}, {123, 123}, {183, 183}};
    for (const auto& [online, checkpointed] : updates) {
        m_clock.Set(start + online);
        log->UpdateConnection(online * 1000, 7);
        const std::optional<CRunningCheckpoint::Content> held = checkpoint.Read();
        ASSERT_TRUE(held.has_value()) << online << " s";
        EXPECT_EQ(start, held->info.m_timeStart);
        EXPECT_EQ(checkpointed, held->info.m_nDuration);
        EXPECT_EQ(checkpointed * 1000, held->info.m_nReceived);
        EXPECT_EQ(7, held->info.m_nSent);
        EXPECT_FALSE(held->bInMonths);
    }
    log->EndConnection();
    EXPECT_FALSE(FileExists(Path("clog.run")));
    EXPECT_EQ(1u, ReadConnectionFile().size());

    log->SetCheckpointInterval(0); // none at all
    Connect(*log, Clock::Now(), 300, MB, MB);
    EXPECT_FALSE(FileExists(Path("clog.run")));
    EXPECT_FALSE(FileExists(Path("clog.run.tmp")));
}

TEST_F(LogRecording, ADeletedConnectionPageIsWrittenAnewAtTheNextRecording) {
    m_clock.Set(0x3C46A0A0 - 60);
    WriteRecentMonthFile();
    auto log = OpenLog();
    DeleteFileA(Path("clog.htm").c_str());
    Connect(*log, 0x3C46A0A0, 3723, 1572864, 262144);
    EXPECT_EQ(ConnectionPageOf(FIRST_ROW), ConnectionPage());
}

TEST_F(LogRecording, AnExistingConnectionPageIsReplacedInFull) {
    m_clock.Set(0x3C46A0A0 - 60);
    WriteRecentMonthFile();
    auto log = OpenLog();
    WriteFileText(Path("clog.htm"), std::string(20000, 'x'));
    Connect(*log, 0x3C46A0A0, 3723, 1572864, 262144);
    EXPECT_EQ(ConnectionPageOf(FIRST_ROW), ConnectionPage());
}

// The page is rewritten over the last one: a page that loses rows ends with its own foot.
TEST_F(LogRecording, APageShorterThanTheLastOneEndsWithItsFoot) {
    m_clock.Set(0x3C46A0A0 - 3600);
    auto log = OpenLog();
    Connect(*log, 0x3C46A0A0, 3723, 1572864, 262144);
    Connect(*log, 0x3C47F220, 60, 10000, 2000);
    ASSERT_EQ(ConnectionPageOf(FIRST_ROW + SECOND_ROW), ConnectionPage());

    m_clock.Set(0x3C46A0A0 + 93 * DAY); // the first is 93 days old, the second one day younger
    log->SetSortOrder(false);
    EXPECT_EQ(ConnectionPageOf(SECOND_ROW), ConnectionPage());
}

TEST_F(LogRecording, ClearConnectionsEmptiesTheListAndKeepsTheMonths) {
    auto log = OpenOverTheWorkedExample(FullMonthTable());
    DeleteFileA(Path("frame.htm").c_str());
    WriteFileText(Path("mlog.htm"), "old");
    const Bytes monthFile = ReadFileBytes(Path("mlog.dat"));

    log->ClearConnections();
    EXPECT_EQ((Bytes{0, 0}), ReadFileBytes(Path("clog.dat")));
    EXPECT_EQ(monthFile, ReadFileBytes(Path("mlog.dat")));
    EXPECT_EQ(FRAME_PAGE, ReadFileText(Path("frame.htm")));
    EXPECT_EQ(ConnectionPageOf(""), ConnectionPage());
    EXPECT_NE(std::string::npos, ReadFileText(Path("mlog.htm")).find("Januar"));
}

TEST_F(LogRecording, DeleteAllZeroesTheMonthsAsWell) {
    auto log = OpenOverTheWorkedExample(FullMonthTable());
    log->DeleteAll();

    TIME64 saveTime = 0;
    const MonthTable table = ReadMonthFile(&saveTime);
    EXPECT_EQ(Clock::Now(), saveTime);
    for (int m = 0; m < MONTH_ENTRIES; ++m) {
        EXPECT_EQ(0, table[m].nDuration) << m;
        EXPECT_EQ(0u, table[m].dwPadding) << m;
        EXPECT_EQ(0, table[m].nReceived + table[m].nSent) << m;
    }
    EXPECT_EQ((Bytes{0, 0}), ReadFileBytes(Path("clog.dat")));
    EXPECT_EQ(ConnectionPageOf(""), ConnectionPage());
    std::string text;
    log->GetVolumeText(text);
    EXPECT_EQ("0,00", text);
}

TEST_F(LogRecording, VolumeTextIsTheMonthPlusTheRunningConnection) {
    MonthTable table{};
    table[1] = {0, 0, MB, MB / 2};
    table[12] = {0, 0, 100 * MB, 0};
    WriteRecentMonthFile(table);
    auto log = OpenLog();
    std::string text;
    log->GetVolumeText(text);
    EXPECT_EQ("1,50", text);
    log->StartConnection(0, 0);
    log->UpdateConnection(MB / 4, MB / 2);
    log->GetVolumeText(text);
    EXPECT_EQ("2,25", text);
}

TEST_F(LogRecording, ShowLogHandsTheFramePageToTheShell) {
    WriteRecentMonthFile();
    auto log = OpenLog();
    std::vector<std::string> opened;
    log->SetShellOpener([&](const std::string& path) { opened.push_back(path); });
    log->ShowLog();
    EXPECT_EQ(std::vector<std::string>{Path("frame.htm")}, opened);
}

// ---- a connection over midnight at the end of a month (run in two time zones)

class MonthBoundaryRecording : public LogRecording {};

TEST_F(MonthBoundaryRecording, AConnectionIntoAprilIsBookedToMarch) {
    m_clock.Set(LocalTime(2002, 3, 31, 20));
    WriteRecentMonthFile();
    auto log = OpenLog();
    m_clock.Set(LocalTime(2002, 3, 31, 23, 50));
    log->StartConnection(0, 0);
    OnlineFor(*log, 30 * 60, 3 * MB, MB);
    std::string text;
    log->GetVolumeText(text);
    EXPECT_EQ("4,00", text); // April so far: the running connection alone
    log->EndConnection();
    log->GetVolumeText(text);
    EXPECT_EQ("0,00", text);

    const MonthTable table = ReadMonthFile();
    EXPECT_EQ(1800, table[3].nDuration);
    EXPECT_EQ(3 * MB, table[3].nReceived);
    EXPECT_EQ(MB, table[3].nSent);
    EXPECT_EQ(0, table[4].nDuration);
    EXPECT_EQ(0, table[4].nReceived + table[4].nSent);
}

// ---- a clock set during a connection: the tick count gives its length

namespace {

// Online for `before` seconds, the clock set to `setTo`, online for `after` seconds more.
struct ClockChange {
    const char* name;
    LocalStamp start;
    int before;
    LocalStamp setTo;
    int after;
    LocalStamp bookedStart;
    int bookedDuration;
};

void PrintTo(const ClockChange& row, std::ostream* os) {
    *os << row.name;
}

class ClockChangeRecording : public MonthBoundaryRecording,
                             public ::testing::WithParamInterface<ClockChange> {};

} // namespace

TEST_P(ClockChangeRecording, BooksTheMeasuredLengthInTheMonthOfItsStart) {
    const ClockChange& row = GetParam();
    WriteRecentMonthFile();
    auto log = OpenLog();
    m_clock.Set(row.start.Time());
    log->StartConnection(0, 0);
    OnlineFor(*log, row.before, MB, 0);
    m_clock.Jump(row.setTo.Time() - Clock::Now());
    OnlineFor(*log, row.after, 3 * MB, MB);
    log->EndConnection();

    const CConnectionList list = ReadConnectionFile();
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(row.bookedStart.Time(), list.front().m_timeStart);
    EXPECT_EQ(row.bookedDuration, list.front().m_nDuration);
    const MonthTable table = ReadMonthFile();
    const int month = Clock::LocalMonth(row.bookedStart.Time());
    EXPECT_EQ(3 * MB, table[month].nReceived);
    for (int m = 0; m < MONTH_ENTRIES; ++m)
        EXPECT_EQ(m == month ? row.bookedDuration : 0, table[m].nDuration) << "month " << m;
}

INSTANTIATE_TEST_SUITE_P(ClockChange, ClockChangeRecording,
                         ::testing::Values(ClockChange{"SetBackTwoHours",
                                                       {2002, 1, 20, 12, 0, 0},
                                                       300,
                                                       {2002, 1, 20, 10, 5, 0},
                                                       300,
                                                       {2002, 1, 20, 10, 0, 0},
                                                       600},
                                           ClockChange{"SetRightFrom2002To2026",
                                                       {2002, 1, 20, 12, 0, 0},
                                                       300,
                                                       {2026, 12, 8, 9, 0, 0},
                                                       300,
                                                       {2026, 12, 8, 8, 55, 0},
                                                       600},
                                           ClockChange{"SetBackByHalfAMinuteIsTakenAsItStands",
                                                       {2002, 1, 20, 12, 0, 0},
                                                       300,
                                                       {2002, 1, 20, 12, 4, 30},
                                                       300,
                                                       {2002, 1, 20, 12, 0, 0},
                                                       570},
                                           ClockChange{"SetBackIntoTheMonthBefore",
                                                       {2002, 2, 1, 0, 10, 0},
                                                       600,
                                                       {2002, 1, 31, 23, 20, 0},
                                                       600,
                                                       {2002, 1, 31, 23, 10, 0},
                                                       1200},
                                           ClockChange{"SetForwardIntoTheNextMonth",
                                                       {2002, 1, 31, 23, 50, 0},
                                                       300,
                                                       {2002, 2, 1, 1, 55, 0},
                                                       300,
                                                       {2002, 2, 1, 1, 50, 0},
                                                       600}),
                         RowName());
