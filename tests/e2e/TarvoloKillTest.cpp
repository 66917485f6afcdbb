// A kill of tarvolo.exe at any moment of a recording into a full log (65,535 stored records)
// leaves "clog.dat" with the old records or with the old ones and the new one, "mlog.dat" whole,
// and nothing that the next start does not clean up; after that start the month totals agree
// with the records again.
//
// A recording of the full log takes some 20 to 30 ms here (the first write of "clog.htm" to the
// replacement of "mlog.dat"), and it begins 20 to 45 ms after the hang-up, however long the
// simulator and the watcher take to pass it on. So a kill is timed from a file event of the
// recording itself, not from the hang-up: every step of it gets kills, also the millisecond
// between the replacement of "clog.dat" and that of "mlog.dat", which a delay from the hang-up
// hits once in twenty tries.
//
// tools/kill-during-recording.sh runs more rounds (TARVOLO_KILL_ROUNDS) and prints the figures.
#include "TarvoloTest.h"

#include "framework/ScopedHandles.h"
#include "log/CRunningCheckpoint.h"
#include "log/Clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

using namespace e2e;

namespace {

constexpr std::uint32_t kFullLog = 65535;
constexpr size_t kRecordSize = CConnectionInfo::IMAGE_SIZE;
// A count of 65,535 or more is stored as 0xFFFF and 32 bits.
constexpr size_t kCountSize = 6;
// The watcher's first count runs beside the start-up's recording of the full log, which ends
// before the program first waits for input; this is only the margin for a busy machine.
constexpr DWORD kFirstReportMargin = 1000;

// A moment of the recording: a delay after one of its file events. The recording writes, in
// this order: "clog.run.tmp" (the period as booked, flushed), renamed to "clog.run", the head
// and rows of "clog.htm", "mlog.htm", "clog.dat.tmp" (flushed), renamed to "clog.dat",
// "mlog.dat.tmp" (flushed), renamed to "mlog.dat", and removes "clog.run".
struct KillMoment {
    DWORD filter; // the kind of change that the event is
    DWORD action;
    const char* file;
    DWORD delayMs;
};

constexpr DWORD kWrite = FILE_NOTIFY_CHANGE_LAST_WRITE;
constexpr DWORD kName = FILE_NOTIFY_CHANGE_FILE_NAME;
constexpr DWORD kModified = FILE_ACTION_MODIFIED;
constexpr DWORD kAdded = FILE_ACTION_ADDED;
constexpr DWORD kRenamed = FILE_ACTION_RENAMED_NEW_NAME;
constexpr DWORD kRemoved = FILE_ACTION_REMOVED;

const KillMoment kKillMoments[] = {
    // the checkpoint of the period as booked: before it is in place, the one of the dial-in
    {kName, kAdded, "clog.run.tmp", 0},
    {kName, kAdded, "clog.run.tmp", 1},
    {kName, kRenamed, "clog.run", 0},
    // loading the old records and writing the report pages
    {kWrite, kModified, "clog.htm", 0},
    {kWrite, kModified, "clog.htm", 2},
    {kWrite, kModified, "clog.htm", 4},
    {kWrite, kModified, "clog.htm", 6},
    {kWrite, kModified, "clog.htm", 8},
    {kWrite, kModified, "clog.htm", 10},
    {kWrite, kModified, "clog.htm", 12},
    {kWrite, kModified, "clog.htm", 14},
    {kWrite, kModified, "clog.htm", 16},
    {kWrite, kModified, "clog.htm", 18},
    // writing and flushing the new "clog.dat"
    {kName, kAdded, "clog.dat.tmp", 0},
    {kName, kAdded, "clog.dat.tmp", 2},
    {kName, kAdded, "clog.dat.tmp", 4},
    {kName, kAdded, "clog.dat.tmp", 6},
    {kName, kAdded, "clog.dat.tmp", 8},
    // between the two replacements: the month totals lack the new period
    {kName, kRenamed, "clog.dat", 0},
    {kName, kRenamed, "clog.dat", 0},
    {kName, kRenamed, "clog.dat", 0},
    {kName, kRenamed, "clog.dat", 1},
    {kName, kAdded, "mlog.dat.tmp", 0},
    {kName, kAdded, "mlog.dat.tmp", 0},
    // done
    {kName, kRenamed, "mlog.dat", 0},
    {kName, kRenamed, "mlog.dat", 10},
    {kName, kRenamed, "mlog.dat", 100},
    {kName, kRemoved, "clog.run", 0},
};
constexpr size_t kKillMomentCount = sizeof kKillMoments / sizeof kKillMoments[0];

std::wstring Widened(const std::string& name) {
    return std::wstring(name.begin(), name.end());
}

// The changes of a folder as the system reports them, by name, from the moment it is made.
class FolderChanges {
public:
    FolderChanges(const std::string& folder, DWORD filter)
        : m_folder(CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                               nullptr)),
          m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_filter(filter) {
        m_bReading = m_folder && m_done && Read();
    }
    ~FolderChanges() {
        // The system writes into the buffer until the read has ended.
        if (m_bReading && CancelIo(m_folder.Get()))
            WaitForSingleObject(m_done.Get(), kPatience);
    }
    FolderChanges(const FolderChanges&) = delete;
    FolderChanges& operator=(const FolderChanges&) = delete;

    bool Watching() const { return m_bReading; }

    // Waits for the change of the file; false when it did not come within the time.
    bool WaitFor(DWORD action, const std::string& file, DWORD timeoutMs) {
        const std::wstring wanted = Widened(file);
        const DWORD start = GetTickCount();
        while (m_bReading) {
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs ||
                WaitForSingleObject(m_done.Get(), timeoutMs - waited) != WAIT_OBJECT_0)
                return false;
            DWORD bytes = 0;
            m_bReading = false;
            if (!GetOverlappedResult(m_folder.Get(), &m_overlapped, &bytes, FALSE))
                return false;
            bool bFound = false;
            for (DWORD offset = 0; bytes > 0;) {
                const auto* change =
                    reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(m_buffer + offset);
                const std::wstring name(change->FileName, change->FileNameLength / sizeof(WCHAR));
                bFound = bFound || (change->Action == action && name == wanted);
                if (change->NextEntryOffset == 0)
                    break;
                offset += change->NextEntryOffset;
            }
            if (bFound)
                return true;
            m_bReading = Read();
        }
        return false;
    }

private:
    bool Read() {
        ResetEvent(m_done.Get());
        m_overlapped = OVERLAPPED{};
        m_overlapped.hEvent = m_done.Get();
        return ReadDirectoryChangesW(m_folder.Get(), m_buffer, sizeof m_buffer, FALSE, m_filter,
                                     nullptr, &m_overlapped, nullptr) != FALSE;
    }

    fw::ScopedFileHandle m_folder;
    fw::ScopedHandle m_done;
    DWORD m_filter;
    OVERLAPPED m_overlapped{};
    bool m_bReading = false;
    alignas(DWORD) unsigned char m_buffer[64 * 1024];
};

void Add(MonthTable& table, const CConnectionInfo& info) {
    MONTHTOTAL& entry = table[info.GetMonth()];
    entry.nDuration += info.m_nDuration;
    entry.nReceived += info.m_nReceived;
    entry.nSent += info.m_nSent;
}

// The month totals as the program books the records.
MonthTable TotalsOf(const CConnectionList& records) {
    MonthTable table{};
    for (const CConnectionInfo& info : records)
        Add(table, info);
    return table;
}

bool SameTotals(const MonthTable& a, const MonthTable& b) {
    for (int m = 1; m <= 12; ++m)
        if (a[m].nDuration != b[m].nDuration || a[m].nReceived != b[m].nReceived ||
            a[m].nSent != b[m].nSent)
            return false;
    return true;
}

// What the kills left, for the figures of a longer run.
struct Tally {
    int rounds = 0;
    int old = 0;          // "clog.dat" as before the recording
    int grown = 0;        // the old records and the new one
    int totalsBehind = 0; // of those, "mlog.dat" still without the new period
    int leftovers = 0;    // a temporary file was left
    int fromDialIn = 0;   // the next start booked the period as checkpointed at the dial-in
};

// The period a kill interrupted, and the records "clog.dat" must hold once the next start has
// booked it: those before it and the period, once.
struct KilledPeriod {
    size_t records;
    long long received;
    long long sent;
};

class TarvoloKill : public Tarvolo {
protected:
    // Recent records of the last two days, ended before the month totals were saved, and those
    // totals.
    void WriteFullLog() {
        const TIME64 now = Clock::Now();
        CConnectionList list;
        MonthTable table{};
        for (std::uint32_t i = 0; i < kFullLog; ++i) {
            list.emplace_back(now - 2 * 86400 + 2 * TIME64(i), 1 + i % 60, 1000 + 37 * i,
                              500 + 11 * i);
            Add(table, list.back());
        }
        CFile log(install.Folder().File("clog.dat"), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(log, CArchive::store);
        StoreConnectionList(archive, list);
        archive.Close();
        log.Close();
        CFile months(install.Folder().File("mlog.dat"), CFile::modeCreate | CFile::modeWrite);
        WriteMonthLog(months, now, table);
    }

    // Starts the program (with a connection up, if the simulator has one), checks what the
    // start made of the previous kill's folder, and waits until the connection is being
    // measured and its dial-in checkpointed.
    void StartConnected(Tally& tally) {
        running = install.Start();
        ASSERT_TRUE(running->WaitUntilIdle(kPatience));
        ASSERT_TRUE(running->IsRunning()) << "not the running instance";
        EXPECT_EQ("", OpenMessages());
        EXPECT_FALSE(install.Folder().Exists("clog.dat.tmp"));
        EXPECT_FALSE(install.Folder().Exists("mlog.dat.tmp"));
        ExpectTotalsOfTheRecords();
        ExpectKilledPeriodBookedOnce(tally);
        Sleep(kFirstReportMargin);
        if (m_bConnected) {
            EXPECT_TRUE(WaitUntil([&] { return install.Folder().Exists("clog.run"); }, kPatience))
                << "no checkpoint of the dial-in";
        }
    }

    // The period the last kill interrupted is in "clog.dat" once: with its volumes, or with none
    // where the kill came before its booking reached "clog.run".
    void ExpectKilledPeriodBookedOnce(Tally& tally) {
        if (!m_killed)
            return;
        const CConnectionList records = Records();
        ASSERT_EQ(m_killed->records, records.size()) << "the killed period not booked once";
        const CConnectionInfo& last = records.back();
        if (last.m_nReceived == 0 && last.m_nSent == 0) {
            ++tally.fromDialIn;
        } else {
            EXPECT_EQ(m_killed->received, last.m_nReceived);
            EXPECT_EQ(m_killed->sent, last.m_nSent);
        }
        // A connection up has a checkpoint of its own by now.
        if (!m_bConnected) {
            EXPECT_FALSE(install.Folder().Exists("clog.run")) << "the checkpoint stayed";
        }
        m_killed.reset();
    }

    // The texts of the program's open message boxes.
    std::string OpenMessages() const {
        std::string texts;
        for (const MessageBoxWindow& box : MessageBoxWindow::FindAll(running->ProcessId()))
            texts += "message: " + box.Text() + "; ";
        return texts;
    }

    // Whether the program runs and its windows, for a failure's message.
    std::string ProgramState() const {
        std::string state = running->IsRunning() ? "running; " : "ended; ";
        for (HWND window : FindTopLevelWindows({"", "", running->ProcessId()}))
            state += "window " + WindowClass(window) + " \"" + WindowText(window) + "\"; ";
        return state + OpenMessages();
    }

    // After a start the month totals are those of the records.
    void ExpectTotalsOfTheRecords() {
        EXPECT_TRUE(SameTotals(TotalsOf(Records()), Months())) << "totals differ from the records";
    }

    bool MonthLogLoads() {
        try {
            CFile file(install.Folder().File("mlog.dat"), CFile::modeRead | CFile::shareDenyNone);
            MonthTable table{};
            return file.GetLength() == MONTH_LOG_SIZE && ReadMonthLog(file, table) > 0;
        } catch (...) {
            return false;
        }
    }

    // One round: a recording of a period with these volumes, killed at the moment.
    void KillRecording(const KillMoment& moment, long long received, long long sent, Tally& tally) {
        Sim({{"connections", "1"}, {"received", "1000"}, {"sent", "500"}});
        ASSERT_NO_FATAL_FAILURE(StartConnected(tally));
        const std::string before = install.Folder().Read("clog.dat").value_or("");
        ASSERT_GE(before.size(), kCountSize + kFullLog * kRecordSize);
        const size_t stored = (before.size() - kCountSize) / kRecordSize;
        Sim({{"received", std::to_string(1000 + received)}, {"sent", std::to_string(500 + sent)}});
        FolderChanges changes(install.Folder().Path(), moment.filter);
        ASSERT_TRUE(changes.Watching());
        HangUp();
        ASSERT_TRUE(changes.WaitFor(moment.action, moment.file, kPatience))
            << "no recording after the hang-up; " << ProgramState();
        Sleep(moment.delayMs);
        ASSERT_TRUE(running->Terminate().has_value());
        m_killed = KilledPeriod{stored + 1, received, sent};
        // A frame left behind would take the next start for a second one.
        ASSERT_TRUE(WaitForNoWindow({kFrameClass, "", 0}, kPatience));

        const std::string after = install.Folder().Read("clog.dat").value_or("");
        const CConnectionList records = Records();
        ASSERT_TRUE(records.size() == stored || records.size() == stored + 1)
            << records.size() << " records, " << stored << " before";
        EXPECT_EQ(kCountSize + records.size() * kRecordSize, after.size()) << "not whole";
        EXPECT_TRUE(after.compare(kCountSize, stored * kRecordSize, before, kCountSize,
                                  stored * kRecordSize) == 0)
            << "an old record changed";
        EXPECT_TRUE(MonthLogLoads());
        ++tally.rounds;
        if (records.size() == stored) {
            ++tally.old;
        } else {
            ++tally.grown;
            EXPECT_EQ(received, records.back().m_nReceived);
            EXPECT_EQ(sent, records.back().m_nSent);
            if (!SameTotals(TotalsOf(records), Months()))
                ++tally.totalsBehind;
        }
        if (install.Folder().Exists("clog.dat.tmp") || install.Folder().Exists("mlog.dat.tmp"))
            ++tally.leftovers;
    }

    std::optional<KilledPeriod> m_killed;
};

size_t RoundsToRun() {
    const char* rounds = std::getenv("TARVOLO_KILL_ROUNDS");
    const long count = rounds ? std::strtol(rounds, nullptr, 10) : 0;
    return count > 0 ? static_cast<size_t>(count) : kKillMomentCount;
}

} // namespace

TEST_F(TarvoloKill, AKillAtAnyMomentOfARecordingKeepsTheRecordsAndTheNextStartMendsTheTotals) {
    WriteFullLog();
    Tally tally;
    const size_t rounds = RoundsToRun();
    for (size_t round = 0; round < rounds && !HasFatalFailure(); ++round) {
        const KillMoment& moment = kKillMoments[round % kKillMomentCount];
        SCOPED_TRACE("round " + std::to_string(round) + ": " + std::to_string(moment.delayMs) +
                     " ms after " + moment.file);
        // Volumes of its own in every round, so that the new record is known by them.
        const long long received = static_cast<long long>(round + 1) * kMegabyte + 7;
        const long long sent = static_cast<long long>(round + 1) * 1000 + 3;
        KillRecording(moment, received, sent, tally);
    }
    // The last kill's folder at a start of its own; the program then ends as usual.
    Sim({{"connections", "0"}});
    ASSERT_NO_FATAL_FAILURE(StartConnected(tally));
    ASSERT_TRUE(QuitRunning());

    std::printf("kills %d: records old %d, old and new %d (month totals behind %d), "
                "temporary files left %d; after the next start every period once, %d as "
                "checkpointed at the dial-in\n",
                tally.rounds, tally.old, tally.grown, tally.totalsBehind, tally.leftovers,
                tally.fromDialIn);
    // The moments reached both sides of the replacement.
    EXPECT_GT(tally.old, 0);
    EXPECT_GT(tally.grown, 0);
}

// Killed while online with traffic: the next start books the period as its last checkpoint held
// it, a checkpoint interval (here five seconds, one measuring step) at most short of its length.
TEST_F(TarvoloKill, APeriodKilledWhileOnlineIsBookedAsItsLastCheckpointHeldIt) {
    constexpr TIME64 kInterval = 5;
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kUserKey, "CheckpointSeconds", kInterval));
    CRunningCheckpoint checkpoint;
    checkpoint.SetPath(install.Folder().File("clog.run"));
    const auto checkpointed = [&](long long received) {
        return WaitUntil(
            [&] {
                const auto held = checkpoint.Read();
                return held && held->info.m_nReceived == received;
            },
            kPatience);
    };
    const TIME64 dialIn = std::time(nullptr);
    ASSERT_TRUE(Sim({{"connections", "1"}}));
    ASSERT_TRUE(StartRunning());
    Traffic(2 * kMegabyte, kMegabyte);
    ASSERT_TRUE(checkpointed(2 * kMegabyte)) << "no checkpoint took the first traffic";
    Traffic(5 * kMegabyte, 2 * kMegabyte);
    ASSERT_TRUE(checkpointed(5 * kMegabyte)) << "no checkpoint took the second traffic";
    const TIME64 killedAt = std::time(nullptr);
    ASSERT_TRUE(running->Terminate().has_value());
    ASSERT_TRUE(WaitForNoWindow({kFrameClass, "", 0}, kPatience));
    EXPECT_TRUE(Records().empty()) << "nothing booked before the next start";

    HangUp();
    ASSERT_TRUE(StartRunning());
    const CConnectionList records = Records();
    ASSERT_EQ(1u, records.size());
    const CConnectionInfo& period = records.front();
    EXPECT_EQ(5 * kMegabyte, period.m_nReceived);
    EXPECT_EQ(2 * kMegabyte, period.m_nSent);
    EXPECT_LE(dialIn, period.m_timeStart);
    const TIME64 realLength = killedAt - period.m_timeStart;
    EXPECT_LE(period.m_nDuration, realLength + 1);
    EXPECT_GE(period.m_nDuration, realLength - kInterval - 1);
    EXPECT_TRUE(WaitForMonthReceived(5 * kMegabyte));
    EXPECT_FALSE(install.Folder().Exists("clog.run"));
    ASSERT_TRUE(QuitRunning());
}
