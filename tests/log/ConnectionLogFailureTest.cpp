// File errors: reported with the framework's text and followed by the operation's next step;
// the data files survive a write that fails, and what they could not take waits in memory.
#include "LogFolderTest.h"
#include "support/FailingFile.h"
#include "support/TestThread.h"

using ::testing::ElementsAre;

namespace {

class LogFailure : public LogFolderTest {
protected:
    void SetUp() override {
        WriteRecentMonthFile();
        WriteConnectionFile({CConnectionInfo(Clock::Now() - 94 * DAY, 1, 0, 0),
                             CConnectionInfo(Clock::Now() - DAY, 2, 0, 0)});
        m_log = OpenLog();
    }

    void RecordOne() {
        m_log->StartConnection(0, 0);
        m_clock.Advance(3);
        m_log->UpdateConnection(MB, MB);
        m_log->EndConnection();
    }

    std::unique_ptr<CConnectionLog> m_log;
};

} // namespace

TEST_F(LogFailure, ACutShortConnectionFileIsReportedAndTheRecordingGoesOn) {
    ExpectMessages();
    WriteFileBytes(Path("clog.dat"), Bytes{0x02});
    RecordOne();
    EXPECT_THAT(m_messages.Texts(), ElementsAre("An attempt was made to access " +
                                                Path("clog.dat") + " past its end."));
    EXPECT_EQ(1u, ReadConnectionFile().size());
    EXPECT_EQ(1, CountOf(ReadFileText(Path("clog.htm")), "<tr>"));
    EXPECT_EQ(MB, ReadMonthFile()[1].nReceived);
}

TEST_F(LogFailure, AConnectionPageInUseIsReportedAndTheMonthPageSkipped) {
    ExpectMessages();
    WriteFileText(Path("mlog.htm"), "months before");
    {
        CFile reader(Path("clog.htm"), CFile::modeRead | CFile::shareDenyWrite);
        RecordOne();
    }
    EXPECT_THAT(m_messages.Texts(), ElementsAre("A sharing violation occurred while accessing " +
                                                Path("clog.htm") + "."));
    EXPECT_EQ("months before", ReadFileText(Path("mlog.htm")));
    // Saving goes on; the walk that prunes old connections never ran.
    EXPECT_EQ(3u, ReadConnectionFile().size());
    EXPECT_EQ(MB, ReadMonthFile()[1].nReceived);
}

TEST_F(LogFailure, AMonthPageInUseIsReported) {
    ExpectMessages();
    {
        CFile reader(Path("mlog.htm"), CFile::modeRead | CFile::shareDenyWrite);
        RecordOne();
    }
    EXPECT_THAT(m_messages.Texts(), ElementsAre("A sharing violation occurred while accessing " +
                                                Path("mlog.htm") + "."));
    EXPECT_EQ(2, CountOf(ReadFileText(Path("clog.htm")), "<tr>"));
    EXPECT_EQ(2u, ReadConnectionFile().size());
}

TEST_F(LogFailure, PagesThatCannotBeWrittenOutsideARecordingFailSilentlyButTheMonthPage) {
    ExpectMessages();
    CFile frame(Path("frame.htm"), CFile::modeRead | CFile::shareDenyWrite);
    CFile connections(Path("clog.htm"), CFile::modeRead | CFile::shareDenyWrite);
    CFile months(Path("mlog.htm"), CFile::modeRead | CFile::shareDenyWrite);
    m_log->ClearConnections();
    EXPECT_THAT(m_messages.Texts(), ElementsAre("A sharing violation occurred while accessing " +
                                                Path("mlog.htm") + "."));
    EXPECT_EQ((Bytes{0, 0}), ReadFileBytes(Path("clog.dat")));
}

// A virus scanner or a backup holding the data files: the recording waits a while, then keeps
// the connection and the totals in memory, and writes them, once, when the files are free.
TEST_F(LogFailure, HeldDataFilesGetWhatTheyMissedOnceTheyAreFree) {
    const Bytes connections = ReadFileBytes(Path("clog.dat"));
    const Bytes months = ReadFileBytes(Path("mlog.dat"));
    {
        CFile clog(Path("clog.dat"), CFile::modeRead | CFile::shareDenyNone);
        CFile mlog(Path("mlog.dat"), CFile::modeRead | CFile::shareDenyNone);
        RecordOne();
    }
    EXPECT_EQ(connections, ReadFileBytes(Path("clog.dat")));
    EXPECT_EQ(months, ReadFileBytes(Path("mlog.dat")));
    EXPECT_FALSE(FileExists(Path("clog.dat.tmp")));

    m_log->SetSortOrder(true);
    EXPECT_EQ(2u, ReadConnectionFile().size()); // the new one next to the one of a day ago
    EXPECT_EQ(MB, ReadMonthFile()[1].nReceived);
    RecordOne();
    EXPECT_EQ(3u, ReadConnectionFile().size());
    EXPECT_EQ(2 * MB, ReadMonthFile()[1].nReceived);
}

// "clog.dat" held at the hang-up and the program killed before the next recording: the period
// waits in "clog.run", noted as in the month totals, and the next start gives it to "clog.dat"
// alone.
TEST_F(LogFailure, APeriodThatClogDatCouldNotTakeSurvivesAKillInItsCheckpoint) {
    m_log->SetCheckpointInterval(60);
    {
        CFile clog(Path("clog.dat"), CFile::modeRead | CFile::shareDenyNone);
        RecordOne();
    }
    EXPECT_EQ(2u, ReadConnectionFile().size()); // as it was
    EXPECT_EQ(MB, ReadMonthFile()[1].nReceived);
    m_log.release(); // killed: nothing more is written

    OpenLog()->SetSortOrder(true);
    const CConnectionList records = ReadConnectionFile();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(MB, records.back().m_nReceived);
    EXPECT_EQ(3, records.back().m_nDuration);
    EXPECT_EQ(MB, ReadMonthFile()[1].nReceived);
    EXPECT_FALSE(FileExists(Path("clog.run")));
}

// The same, killed while the next period runs: its checkpoints keep the period that only memory
// holds ahead of it, and the next start books each period once into each file.
TEST_F(LogFailure, APeriodThatClogDatCouldNotTakeSurvivesTheNextPeriodsCheckpoints) {
    m_log->SetCheckpointInterval(60);
    {
        CFile clog(Path("clog.dat"), CFile::modeRead | CFile::shareDenyNone);
        RecordOne();
    }
    m_log->StartConnection(0, 0);
    m_clock.Advance(5);
    m_log->UpdateConnection(2 * MB, 0); // its first checkpoint
    // What the page "Verlauf" counts: the file's, then the one waiting, then the running one.
    const CConnectionList counted = m_log->GetConnectionsSince(0);
    ASSERT_GE(counted.size(), 2u);
    EXPECT_EQ(MB, counted.end()[-2].m_nReceived);
    EXPECT_EQ(2 * MB, counted.back().m_nReceived);
    m_log.release(); // killed

    OpenLog()->SetSortOrder(true);
    const CConnectionList records = ReadConnectionFile();
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(MB, records[1].m_nReceived);
    EXPECT_EQ(3, records[1].m_nDuration);
    EXPECT_EQ(2 * MB, records[2].m_nReceived);
    EXPECT_EQ(5, records[2].m_nDuration);
    EXPECT_EQ(3 * MB, ReadMonthFile()[1].nReceived);
    EXPECT_FALSE(FileExists(Path("clog.run")));
}

// A holder that lets go within the patience costs nothing but the wait.
TEST_F(LogFailure, AHolderThatLetsGoSoonDelaysTheRecordingOnly) {
    auto reader = std::make_unique<CFile>(Path("clog.dat"), CFile::modeRead | CFile::shareDenyNone);
    TestThread letGo([&reader] {
        Sleep(500);
        reader.reset();
    });
    RecordOne();
    letGo.Join();
    EXPECT_EQ(2u, ReadConnectionFile().size());
}

TEST_F(LogFailure, WhatTheDataFilesCouldNotTakeIsReportedAtExitByName) {
    ExpectMessages();
    m_log->SetDataFileOpener([](const std::string& path, unsigned flags, CFileException* error) {
        if (path.find(".tmp") != std::string::npos) {
            if (error)
                *error = CFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, path);
            return std::unique_ptr<CFile>();
        }
        auto file = std::make_unique<CFile>();
        return file->Open(path, flags, error) ? std::move(file) : nullptr;
    });
    RecordOne();
    EXPECT_TRUE(m_messages.Texts().empty());
    m_log.reset();
    const std::string lost = "Die Verbindungsdaten konnten nicht in der Datei %1 gespeichert "
                             "werden und gehen verloren. Die Datei ist von einem anderen Programm "
                             "belegt oder kann nicht geschrieben werden.";
    const auto named = [&lost](const std::string& path) {
        std::string text = lost;
        return text.replace(text.find("%1"), 2, path);
    };
    EXPECT_THAT(m_messages.Texts(), ElementsAre(named(Path("clog.dat")), named(Path("mlog.dat"))));
}

// A read error part-way: the records not read would be lost if the file were replaced.
TEST_F(LogFailure, AConnectionFileReadOnlyInPartIsNeverReplacedByLess) {
    ExpectMessages();
    const Bytes connections = ReadFileBytes(Path("clog.dat"));
    m_log->SetDataFileOpener(FailingFile::ReadError(2 + 48));
    RecordOne();
    EXPECT_THAT(
        m_messages.Texts(),
        ElementsAre("A hardware I/O error was reported while accessing " + Path("clog.dat") + "."));
    EXPECT_EQ(connections, ReadFileBytes(Path("clog.dat")));

    m_log->SetDataFileOpener(nullptr);
    m_log->SetSortOrder(true);
    EXPECT_EQ(2u, ReadConnectionFile().size());
}

// A sum read while "clog.dat" cannot be read lacks its records: it is not kept, and the next
// call, with the file readable again, counts them.
TEST_F(LogFailure, TheUseOfAPeriodIsNotKeptFromAnUnreadableConnectionFile) {
    WriteConnectionFile({CConnectionInfo(Clock::Now() - DAY, 2, 3 * MB, MB)});
    const TIME64 periodStart = Clock::Now() - 2 * DAY;
    m_log->SetDataFileOpener(FailingFile::ReadError(2));
    EXPECT_EQ(0, m_log->GetUseSince(periodStart, false));
    m_log->SetDataFileOpener(nullptr);
    EXPECT_EQ(4 * MB, m_log->GetUseSince(periodStart, false));
    EXPECT_EQ(3 * MB, m_log->GetUseSince(periodStart, true));
}

TEST_F(LogFailure, AMissingConnectionFileIsAnEmptyLog) {
    DeleteFileA(Path("clog.dat").c_str());
    RecordOne();
    EXPECT_EQ(1u, ReadConnectionFile().size());
}

TEST_F(LogFailure, AFullDiskHalfWayLeavesBothDataFilesWholeAndLoadable) {
    ExpectMessages();
    const Bytes connections = ReadFileBytes(Path("clog.dat"));
    const Bytes months = ReadFileBytes(Path("mlog.dat"));
    m_log->SetDataFileOpener(FailingFile::DiskFull(60));
    RecordOne();

    EXPECT_THAT(m_messages.Texts(),
                ElementsAre("Disk full while accessing " + Path("clog.dat.tmp") + ".",
                            "Disk full while accessing " + Path("mlog.dat.tmp") + "."));
    EXPECT_EQ(connections, ReadFileBytes(Path("clog.dat")));
    EXPECT_EQ(months, ReadFileBytes(Path("mlog.dat")));
    EXPECT_FALSE(FileExists(Path("clog.dat.tmp")));
    EXPECT_FALSE(FileExists(Path("mlog.dat.tmp")));

    // The next start finds the old log, whole: nothing is reset.
    m_log.reset();
    const std::size_t reported = m_messages.Texts().size();
    auto next = OpenLog();
    next->SetSortOrder(true);
    EXPECT_EQ(reported, m_messages.Texts().size());
    EXPECT_EQ(1u, ReadConnectionFile().size()); // the old one of 94 days is pruned now
    EXPECT_EQ(1, CountOf(ReadFileText(Path("clog.htm")), "<tr>"));
}
