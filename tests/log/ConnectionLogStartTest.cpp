// The log's start: first start, resets, clearing of old months, pages that are missing.
#include "ExpectedPages.h"
#include "LogFolderTest.h"
#include "log/CRunningCheckpoint.h"
#include "log/DataFolder.h"
#include "support/TableRow.h"

using ::testing::ElementsAre;

namespace {

const Bytes EMPTY_LIST = {0x00, 0x00};

class LogStart : public LogFolderTest {
protected:
    // Books a connection without traffic, so that "mlog.dat" shows the table in memory.
    MonthTable TableInMemory(CConnectionLog& log) {
        log.StartConnection(0, 0);
        log.EndConnection();
        return ReadMonthFile();
    }

    // Two connections that ended before the month totals were saved at savedAt.
    void WriteStoredConnections(TIME64 savedAt = Clock::Now()) {
        WriteConnectionFile({CConnectionInfo(savedAt - 2 * DAY, 60, MB, MB),
                             CConnectionInfo(savedAt - DAY, 120, 2 * MB, MB)});
    }
};

void ExpectTotals(const MONTHTOTAL& expected, const MONTHTOTAL& actual, int entry) {
    EXPECT_EQ(expected.nDuration, actual.nDuration) << "entry " << entry;
    EXPECT_EQ(expected.dwPadding, actual.dwPadding) << "entry " << entry;
    EXPECT_EQ(expected.nReceived, actual.nReceived) << "entry " << entry;
    EXPECT_EQ(expected.nSent, actual.nSent) << "entry " << entry;
}

// Entries in cleared lose their three totals and keep their padding; the others stay whole.
void ExpectCleared(const MonthTable& table, const std::vector<int>& cleared) {
    const MonthTable full = FullMonthTable();
    for (int m = 0; m < MONTH_ENTRIES; ++m) {
        MONTHTOTAL expected = full[m];
        if (std::find(cleared.begin(), cleared.end(), m) != cleared.end())
            expected = {0, 0xAB, 0, 0};
        ExpectTotals(expected, table[m], m);
    }
}

} // namespace

TEST_F(LogStart, FirstStartWritesAllFiveFiles) {
    OpenLog();
    EXPECT_EQ(EMPTY_LIST, ReadFileBytes(Path("clog.dat")));

    TIME64 saveTime = 0;
    const MonthTable table = ReadMonthFile(&saveTime);
    EXPECT_EQ(316u, ReadFileBytes(Path("mlog.dat")).size());
    EXPECT_EQ(Clock::Now(), saveTime);
    for (int m = 0; m < MONTH_ENTRIES; ++m)
        ExpectTotals({0, 0, 0, 0}, table[m], m);

    EXPECT_EQ(FRAME_PAGE, ReadFileText(Path("frame.htm")));
    EXPECT_EQ(TemplateOnDisk(IDR_CLOG_HEAD) + CONNECTION_PAGE_FOOT, ReadFileText(Path("clog.htm")));
    EXPECT_EQ(MonthPage({{"November", "00:00:00 ", "0,00", "0,00", "0,00"},
                         {"Dezember", "00:00:00 ", "0,00", "0,00", "0,00"},
                         {"Januar", "00:00:00 ", "0,00", "0,00", "0,00"}}),
              ReadFileText(Path("mlog.htm")));
}

// A month file that is gone says nothing about the connections' age: they stay, and the new
// month file holds their totals.
TEST_F(LogStart, ADeletedMonthFileKeepsTheConnectionsAndStartsTheTotalsFromThem) {
    WriteStoredConnections();
    const Bytes stored = ReadFileBytes(Path("clog.dat"));
    OpenLog();
    EXPECT_EQ(stored, ReadFileBytes(Path("clog.dat")));
    TIME64 saveTime = 0;
    const MonthTable table = ReadMonthFile(&saveTime);
    EXPECT_EQ(Clock::Now(), saveTime);
    ExpectTotals({180, 0, 3 * MB, 2 * MB}, table[1], 1);
    ExpectTotals({0, 0, 0, 0}, table[12], 12);
    EXPECT_NE(std::string::npos, ReadFileText(Path("mlog.htm")).find("3,00")) << "the page too";
}

// A "clog.dat" restored from a backup of a year ago, its last records in this month of last
// year, and a connection of yesterday: the totals hold only what the log keeps, 93 days.
TEST_F(LogStart, ADeletedMonthFileBooksOnlyTheConnectionsTheLogKeeps) {
    WriteConnectionFile({CConnectionInfo(LocalTime(2001, 1, 10, 12), 600, 3 * MB, MB),
                         CConnectionInfo(LocalTime(2001, 1, 19, 12), 900, 4 * MB, MB),
                         CConnectionInfo(Clock::Now() - 93 * DAY, 30, MB, MB),
                         CConnectionInfo(Clock::Now() - 93 * DAY + 1, 40, 2 * MB, 0),
                         CConnectionInfo(Clock::Now() - DAY, 120, MB, 0)});
    OpenLog();
    const MonthTable table = ReadMonthFile();
    ExpectTotals({120, 0, MB, 0}, table[1], 1);
    ExpectTotals({40, 0, 2 * MB, 0}, table[10], 10); // 92 days and a bit: still kept
    for (int m : {0, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12})
        ExpectTotals({0, 0, 0, 0}, table[m], m);
}

// Without a save time there is no age to judge by: the connections stay, and the totals start
// from what could be read.
TEST_F(LogStart, MonthFileShorterThanItsSaveTimeKeepsTheConnections) {
    WriteStoredConnections();
    const Bytes stored = ReadFileBytes(Path("clog.dat"));
    WriteFileBytes(Path("mlog.dat"), Bytes{0x20, 0xF2});
    auto log = OpenLog();
    EXPECT_EQ(stored, ReadFileBytes(Path("clog.dat")));
    EXPECT_EQ(0, TableInMemory(*log)[1].nReceived);
}

TEST_F(LogStart, SaveTimeMoreThan93WholeDaysAgoResetsEverything) {
    WriteStoredConnections();
    WriteMonthFile(Clock::Now() - 94 * DAY, FullMonthTable());
    OpenLog();
    EXPECT_EQ(EMPTY_LIST, ReadFileBytes(Path("clog.dat")));
    TIME64 saveTime = 0;
    const MonthTable table = ReadMonthFile(&saveTime);
    EXPECT_EQ(Clock::Now(), saveTime);
    for (int m = 0; m < MONTH_ENTRIES; ++m)
        ExpectTotals({0, 0, 0, 0}, table[m], m);
    EXPECT_EQ(TemplateOnDisk(IDR_CLOG_HEAD) + CONNECTION_PAGE_FOOT, ReadFileText(Path("clog.htm")));
}

TEST_F(LogStart, SaveTimeExactly93WholeDaysAgoClearsOnlyTheEightEntries) {
    const TIME64 savedAt = Clock::Now() - 94 * DAY + 1;
    WriteStoredConnections(savedAt);
    const Bytes stored = ReadFileBytes(Path("clog.dat"));
    WriteMonthFile(savedAt, FullMonthTable());
    const Bytes monthFile = ReadFileBytes(Path("mlog.dat"));

    auto log = OpenLog();
    EXPECT_EQ(stored, ReadFileBytes(Path("clog.dat")));
    EXPECT_EQ(monthFile, ReadFileBytes(Path("mlog.dat"))); // cleared in memory only
    ExpectCleared(TableInMemory(*log), {2, 3, 4, 5, 6, 7, 8, 9});
}

TEST_F(LogStart, SaveTimeInTheFutureClearsOnlyTheEightEntries) {
    WriteStoredConnections();
    const Bytes stored = ReadFileBytes(Path("clog.dat"));
    WriteMonthFile(Clock::Now() + 400 * DAY, FullMonthTable());
    auto log = OpenLog();
    EXPECT_EQ(stored, ReadFileBytes(Path("clog.dat")));
    ExpectCleared(TableInMemory(*log), {2, 3, 4, 5, 6, 7, 8, 9});
}

TEST_F(LogStart, MissingPagesAreWrittenAndExistingOnesKept) {
    WriteRecentMonthFile();
    WriteFileText(Path("frame.htm"), "frame of my own");
    WriteFileText(Path("mlog.htm"), "months of my own");
    OpenLog();
    EXPECT_EQ("frame of my own", ReadFileText(Path("frame.htm")));
    EXPECT_EQ("months of my own", ReadFileText(Path("mlog.htm")));
    EXPECT_EQ(TemplateOnDisk(IDR_CLOG_HEAD) + CONNECTION_PAGE_FOOT, ReadFileText(Path("clog.htm")));
    EXPECT_FALSE(FileExists(Path("clog.dat"))); // a start without reset leaves the data alone
}

TEST_F(LogStart, TemporaryFilesOfACrashAreRemovedAndNeverRead) {
    WriteRecentMonthFile();
    WriteStoredConnections(Clock::Now() - DAY);
    const Bytes stored = ReadFileBytes(Path("clog.dat"));
    WriteFileBytes(Path("clog.dat.tmp"), Bytes{0x01, 0x00, 0x18}); // cut short by the crash
    WriteFileBytes(Path("mlog.dat.tmp"), Bytes(100, 0xFF));

    auto log = OpenLog();
    EXPECT_FALSE(FileExists(Path("clog.dat.tmp")));
    EXPECT_FALSE(FileExists(Path("mlog.dat.tmp")));
    log->SetSortOrder(true);
    EXPECT_EQ(stored, ReadFileBytes(Path("clog.dat")));
    EXPECT_EQ(2, CountOf(ReadFileText(Path("clog.htm")), "<tr>"));
}

// A kill after "clog.dat" took a connection and before "mlog.dat" took its totals: the next
// start books what ended after the totals were saved, and nothing before.
TEST_F(LogStart, ConnectionsRecordedAfterTheTotalsWereSavedAreBookedAtStart) {
    const TIME64 savedAt = Clock::Now() - DAY;
    WriteMonthFile(savedAt, FullMonthTable());
    WriteConnectionFile({CConnectionInfo(savedAt - 600, 500, 7 * MB, MB),
                         CConnectionInfo(savedAt - 100, 100, 5 * MB, MB),
                         CConnectionInfo(savedAt + 60, 30, 3 * MB, 2 * MB)});
    auto log = OpenLog();
    log->SetSortOrder(true);
    const MONTHTOTAL january = ReadMonthFile()[1];
    EXPECT_EQ(FullMonthTable()[1].nDuration + 30, january.nDuration);
    EXPECT_EQ(FullMonthTable()[1].nReceived + 3 * MB, january.nReceived);
    EXPECT_EQ(FullMonthTable()[1].nSent + 2 * MB, january.nSent);
    log.reset();
    OpenLog()->SetSortOrder(true); // booked once: the totals are newer than the connection now
    EXPECT_EQ(january.nReceived, ReadMonthFile()[1].nReceived);
}

// ---- a running connection that a crash left in "clog.run"

namespace {

enum class Checkpoint { whole, noted, cut, damaged };

// Which data files already held the connection when the program was killed, and what its
// checkpoint is like.
struct LeftConnection {
    const char* name;
    bool bInConnections;
    bool bInMonths;
    Checkpoint checkpoint;
    TIME64 age;
    bool bBooked; // false: the start leaves both data files as they were
};

void PrintTo(const LeftConnection& row, std::ostream* os) {
    *os << row.name;
}

class CheckpointStart : public LogStart {
protected:
    void WriteCheckpoint(const CConnectionInfo& info, Checkpoint kind) {
        CRunningCheckpoint checkpoint;
        checkpoint.SetPath(Path("clog.run"));
        ASSERT_TRUE(checkpoint.Write(info, kind == Checkpoint::noted));
        Bytes bytes = ReadFileBytes(Path("clog.run"));
        if (kind == Checkpoint::cut)
            bytes.pop_back();
        if (kind == Checkpoint::damaged)
            bytes[8 + 20] ^= 0x01; // a bit of the volume received
        WriteFileBytes(Path("clog.run"), bytes);
    }
    int CountIn(const CConnectionList& list, const CConnectionInfo& info) {
        return static_cast<int>(std::count_if(list.begin(), list.end(), [&](const auto& record) {
            return record.m_timeStart == info.m_timeStart &&
                   record.m_nDuration == info.m_nDuration &&
                   record.m_nReceived == info.m_nReceived && record.m_nSent == info.m_nSent;
        }));
    }
    // Killed during a hang-up (of a ten-minute period that began age seconds ago), after
    // "clog.run" took the period as booked; inConnections and inMonths say which data files
    // took it before the kill.
    CConnectionInfo KilledDuringTheHangUp(bool bInConnections, bool bInMonths, TIME64 age = 3600) {
        const CConnectionInfo left(Clock::Now() - age, 600, 4 * MB, MB);
        CConnectionList records = {CConnectionInfo(Clock::Now() - 2 * DAY, 60, MB, MB)};
        if (bInConnections)
            records.push_back(left);
        WriteConnectionFile(records);
        MonthTable months = FullMonthTable();
        if (bInMonths) {
            months[1].nDuration += 600;
            months[1].nReceived += 4 * MB;
            months[1].nSent += MB;
        }
        // Saved after the connection's end where they hold it, a day before otherwise.
        WriteMonthFile(Clock::Now() - (bInMonths ? 60 : DAY), months);
        return left;
    }
};

class LeftCheckpoint : public CheckpointStart,
                       public ::testing::WithParamInterface<LeftConnection> {};

} // namespace

TEST_P(LeftCheckpoint, IsBookedOnceIntoEachDataFileThatLacksIt) {
    const LeftConnection& row = GetParam();
    const CConnectionInfo left = KilledDuringTheHangUp(row.bInConnections, row.bInMonths, row.age);
    WriteCheckpoint(left, row.checkpoint);
    const Bytes connectionsBefore = ReadFileBytes(Path("clog.dat"));
    const std::int64_t receivedBefore = ReadMonthFile()[1].nReceived;

    for (int start = 0; start < 2; ++start) { // the second start finds nothing more to book
        OpenLog()->SetSortOrder(true);
        EXPECT_FALSE(FileExists(Path("clog.run")));
        const MONTHTOTAL january = ReadMonthFile()[1];
        if (row.bBooked) {
            EXPECT_EQ(1, CountIn(ReadConnectionFile(), left)) << "start " << start;
            EXPECT_EQ(FullMonthTable()[1].nReceived + 4 * MB, january.nReceived);
            EXPECT_EQ(FullMonthTable()[1].nDuration + 600, january.nDuration);
        } else {
            EXPECT_EQ(connectionsBefore, ReadFileBytes(Path("clog.dat")));
            EXPECT_EQ(receivedBefore, january.nReceived);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    LogStart, LeftCheckpoint,
    ::testing::Values(
        LeftConnection{"KilledWhileOnline", false, false, Checkpoint::whole, 3600, true},
        LeftConnection{"KilledBetweenTheReplacements", true, false, Checkpoint::whole, 3600, true},
        LeftConnection{"KilledBeforeItsRemoval", true, true, Checkpoint::whole, 3600, true},
        LeftConnection{"KilledWithOnlyTheMonthsSaved", false, true, Checkpoint::noted, 3600, true},
        LeftConnection{"CutShort", false, false, Checkpoint::cut, 3600, false},
        LeftConnection{"Damaged", false, false, Checkpoint::damaged, 3600, false},
        LeftConnection{"OlderThanTheLogKeeps", false, false, Checkpoint::whole, 94 * DAY, false}),
    RowName());

// A period noted as in the month totals, and "mlog.dat" lost before the next start: the totals
// start from "clog.dat", which lacks the period, so it goes into both.
TEST_F(CheckpointStart, ANotedPeriodIsBookedIntoTotalsRebuiltFromTheConnections) {
    const CConnectionInfo left(Clock::Now() - 3600, 600, 4 * MB, MB);
    WriteConnectionFile({CConnectionInfo(Clock::Now() - 2 * DAY, 60, MB, MB)});
    WriteCheckpoint(left, Checkpoint::noted);
    for (int start = 0; start < 2; ++start) {
        OpenLog()->SetSortOrder(true);
        EXPECT_EQ(1, CountIn(ReadConnectionFile(), left)) << "start " << start;
        EXPECT_EQ(5 * MB, ReadMonthFile()[1].nReceived) << "start " << start;
        EXPECT_FALSE(FileExists(Path("clog.run")));
    }
}

// Killed after "clog.dat" took the period, before or after "mlog.dat" did, and "clog.dat" held
// by another program at the next start: the period goes once into each file all the same.
TEST_F(CheckpointStart, APeriodLeftWhileClogDatIsHeldAtTheStartIsBookedOnce) {
    for (const bool bInMonths : {false, true}) {
        SCOPED_TRACE(bInMonths ? "both replaced" : "between the replacements");
        const CConnectionInfo left = KilledDuringTheHangUp(true, bInMonths);
        WriteCheckpoint(left, Checkpoint::whole);
        {
            auto holder =
                std::make_unique<CFile>(Path("clog.dat"), CFile::modeRead | CFile::shareExclusive);
            auto log = OpenLog();
            holder.reset();
            log->SetSortOrder(true);
        }
        EXPECT_EQ(1, CountIn(ReadConnectionFile(), left));
        EXPECT_EQ(FullMonthTable()[1].nReceived + 4 * MB, ReadMonthFile()[1].nReceived);
        EXPECT_FALSE(FileExists(Path("clog.run")));
    }
}

// A month file held by another program says nothing about the log's age: nothing is reset,
// and the file is written only once it has been read, with the bookings made meanwhile.
TEST_F(LogStart, AMonthFileThatCannotBeReadIsReportedAndNeitherResetNorOverwritten) {
    ExpectMessages();
    WriteStoredConnections(Clock::Now() - DAY);
    WriteRecentMonthFile(FullMonthTable());
    const Bytes months = ReadFileBytes(Path("mlog.dat"));
    auto holder =
        std::make_unique<CFile>(Path("mlog.dat"), CFile::modeRead | CFile::shareExclusive);
    auto log = OpenLog();
    EXPECT_THAT(m_messages.Texts(),
                ::testing::ElementsAre("Die Datei " + Path("mlog.dat") +
                                       " kann nicht gelesen werden. Tarvolo z\xE4hlt weiter, "
                                       "ver\xE4ndert die Datei aber erst, wenn sie wieder lesbar "
                                       "ist."));
    Connect(*log, Clock::Now(), 60, MB, 0);
    holder.reset();
    EXPECT_EQ(months, ReadFileBytes(Path("mlog.dat")));
    EXPECT_EQ(3u, ReadConnectionFile().size());

    log->SetSortOrder(true);
    MonthTable expected = FullMonthTable();
    expected[1].nDuration += 60;
    expected[1].nReceived += MB;
    const MonthTable saved = ReadMonthFile();
    ExpectTotals(expected[1], saved[1], 1);
    ExpectTotals({0, 0xAB, 0, 0}, saved[2], 2); // old months cleared as at a start
}

// A program folder that takes files keeps the log; one that takes none (here: one that is not
// there; under "Program Files" for a standard user: one that refuses) sends it to "Tarvolo" in
// the local application data folder, made for it.
TEST_F(LogStart, TheDataFolderIsTheProgramFolderWhereItTakesFilesElseLocalAppData) {
    const std::string appData = m_folder / "AppData\\Local";
    CreateDirectoryA((m_folder / "AppData").c_str(), nullptr);
    CreateDirectoryA(appData.c_str(), nullptr);
    EXPECT_EQ(m_folder.Path(), ChooseDataFolder(m_folder.Path(), appData));
    WIN32_FIND_DATAA found = {};
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((m_folder / "*.tmp").c_str(), &found))
        << "the try leaves no file behind";

    const std::string chosen = ChooseDataFolder(m_folder / "missing\\", appData);
    EXPECT_EQ(appData + "\\Tarvolo\\", chosen);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(chosen.c_str()));
}

// ---- the month of the start decides which entries survive (run in two time zones)

// A start a day after the month file was saved, and the entries it clears. The start is
// turned into a time in the test, under the time zone of the run.
struct LocalDateTime {
    int year, month, day, hour, minute, second;
};

struct StartMonth {
    const char* name;
    LocalDateTime start;
    std::vector<int> cleared;
};

void PrintTo(const StartMonth& row, std::ostream* os) {
    *os << row.name;
}

class MonthBoundaryStart : public LogStart, public ::testing::WithParamInterface<StartMonth> {};

TEST_P(MonthBoundaryStart, ClearsEntriesByTheMonthOfTheStart) {
    const LocalDateTime& start = GetParam().start;
    m_clock.Set(
        LocalTime(start.year, start.month, start.day, start.hour, start.minute, start.second));
    WriteMonthFile(Clock::Now() - DAY, FullMonthTable());
    auto log = OpenLog();
    ExpectCleared(TableInMemory(*log), GetParam().cleared);
}

INSTANTIATE_TEST_SUITE_P(MonthBoundary, MonthBoundaryStart,
                         ::testing::Values(StartMonth{"StartInMayClearsJuneToDecemberAndEntryZero",
                                                      {2002, 5, 1, 0, 0, 30},
                                                      {6, 7, 8, 9, 10, 11, 12, 0}},
                                           StartMonth{"StartInJanuaryClearsFebruaryToSeptember",
                                                      {2003, 1, 31, 23, 59, 30},
                                                      {2, 3, 4, 5, 6, 7, 8, 9}},
                                           StartMonth{
                                               "StartOnTheLastEveningOfDecemberKeepsDecember",
                                               {2002, 12, 31, 23, 30, 0},
                                               {0, 1, 2, 3, 4, 5, 6, 7}}),
                         RowName());
