#pragma once
// The program's memory of traffic, in one folder: the running period, the single connections of
// the last 93 days ("clog.dat"), the month totals ("mlog.dat") and the three report pages built
// from them. It coordinates what the shell asks of them: the start-up, the periods' samples and
// hang-ups, and the user's commands.
//
// No finished connection is lost to a data file that cannot be written for the moment (held by
// another program, no room for its temporary file): what has not reached "clog.dat" and
// "mlog.dat" stays in memory and is written at the next recording, order change or exit; what
// still cannot be written at exit is reported.
#include "framework/CCriticalSection.h"
#include "framework/CFileReplacement.h"
#include "log/CConnectionFile.h"
#include "log/CMonthTotals.h"
#include "log/CNumberFormat.h"
#include "log/CReportWriter.h"
#include "log/CRunningCheckpoint.h"
#include "log/CRunningPeriod.h"
#include "log/LogAge.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CConnectionLog {
public:
    // Opens a page with the user's browser; tests put their own in place of the shell.
    using ShellOpener = std::function<void(const std::string& path)>;

    // Single connections are kept for this many whole days.
    static constexpr int KEEP_DAYS = LOG_KEEP_DAYS;

    // The log of the data folder (the program's folder where it takes files).
    CConnectionLog();
    // The log of the given folder.
    explicit CConnectionLog(const std::string& folder);
    // Books and records a connection that is still running, and reports the data files that
    // could not take what belongs in them.
    virtual ~CConnectionLog();

    CConnectionLog(const CConnectionLog&) = delete;
    CConnectionLog& operator=(const CConnectionLog&) = delete;

    // The readings of the counters as the shell hands them over (see CRunningPeriod).
    static constexpr std::int64_t MISSING_READING = CRunningPeriod::MISSING_READING;
    static constexpr std::int64_t READING_KEEPS_VOLUME = CRunningPeriod::READING_KEEPS_VOLUME;
    static constexpr std::int64_t CLOCK_CHANGE_SECONDS = CRunningPeriod::CLOCK_CHANGE_SECONDS;

    // A connection began with these counter readings; one still running is dropped unbooked.
    void StartConnection(std::int64_t nReceived, std::int64_t nSent);
    // New counter readings of the running connection. After more than a minute without any
    // (the machine slept), the connection is booked as at its last readings and goes on as a new
    // one from them.
    void UpdateConnection(std::int64_t nReceived, std::int64_t nSent);
    // The hang-up of the last connection: books the running connection to the month it began
    // in, records it in "clog.dat" and the reports, and saves the month totals. One that began
    // at a gap and moved no byte is dropped.
    void EndConnection();
    // Books the running connection as ending at the moment at (a local midnight since its last
    // readings), and goes on with a new one that begins there, so that no record spans a day.
    void CutConnectionAt(TIME64 at);
    // While a connection runs, its first update writes it to "clog.run", and a later one once
    // this many seconds have passed since it was last written there; 0 writes none. A "clog.run"
    // that a crash left is booked at the start whatever the interval: at most once into each data
    // file.
    void SetCheckpointInterval(unsigned nSeconds) { m_period.SetCheckpointInterval(nSeconds); }

    // The current month's megabytes, the running connection included, for the tooltip.
    void GetVolumeText(std::string& text);
    // The bytes of the connections that began at or after periodStart, the running one
    // included: those received, or those received and sent.
    std::int64_t GetUseSince(TIME64 periodStart, bool bReceivedOnly);
    // The bytes of the connection that began at recordStart, running or recorded; 0 where there
    // is none.
    std::int64_t GetUseOf(TIME64 recordStart, bool bReceivedOnly);
    // The connections that began at or after from, recorded, waiting in memory or running (as
    // of its last readings, last in the list).
    CConnectionList GetConnectionsSince(TIME64 from) const;
    // The running connection as of its last readings.
    const CConnectionInfo& GetRunningConnection() const { return m_period.Info(); }
    // Row order of "clog.htm"; rewrites the reports.
    void SetSortOrder(bool bOldestFirst);
    void ShowLog();
    // Empties "clog.dat" and writes all three pages anew.
    void ClearConnections();
    // Zeroes the month totals as well.
    void DeleteAll();

    // "mlog.htm": the current month and the two before it. File errors are reported.
    void WriteMonthReport(const std::string& path) { m_reports.WriteMonthReport(m_months, path); }

    // Writes what the data files still lack; true when nothing is left unsaved.
    bool SaveUnsaved();
    // Tells the user which data files could not take what belongs in them, if any.
    void ReportUnsaved();

    bool IsConnected() const { return m_period.IsRunning(); }
    void SetShellOpener(ShellOpener opener);
    // Opens "clog.dat" and "mlog.dat" for reading and their temporary files for writing; tests
    // simulate a full disk or a failing read.
    void SetDataFileOpener(CFileReplacement::FileOpener opener);

    // The longest name of a file the log writes into its folder, temporary names included.
    static std::size_t LongestFileName();

private:
    using Checkpoints = std::vector<CRunningCheckpoint::Content>;
    // What the start found in the data files, for the connections that "clog.run" holds.
    struct LogAtStart {
        // Where the month totals came from.
        enum class Origin {
            rebuilt, // started anew, or from "clog.dat" ("mlog.dat" missing)
            saved,   // read from "mlog.dat", saved at saveTime
            unknown, // "mlog.dat" unreadable or cut: only the checkpoint's note tells
        } origin = Origin::unknown;
        TIME64 saveTime = 0;
        bool bConnectionsUnread = false; // "clog.dat" was there but could not be read
    };

    void StartUp(const std::string& folder);
    LogAtStart LoadMonthTotals();
    bool BookMissingConnections(TIME64 saveTime);
    void BookCheckpoint(const LogAtStart& start);
    static bool InMonthsAtStart(const CRunningCheckpoint::Content& left, const LogAtStart& start,
                                bool bConnectionsRead);
    void WriteCheckpoint();
    bool WriteCheckpoints(const CConnectionInfo* pLast);
    void SettleCheckpoint(const Checkpoints& booked);
    void SyncCheckpoints();
    void BookRunningPeriod(CConnectionInfo (CRunningPeriod::*finish)());
    void DropRunningCheckpoint();
    void RecordConnection(const CConnectionInfo& info);
    void RewriteConnections();
    void ReportDataFile(unsigned nIDText, const std::string& path) const;

    CMonthTotals m_months;
    CCriticalSection m_lock;
    CConnectionFile m_connections;
    CReportWriter m_reports;
    CRunningPeriod m_period;
    CRunningCheckpoint m_checkpoint;
    bool m_bCheckpointed = false; // "clog.run" may hold the running connection
    // Finished connections that "clog.dat" could not take yet, each noted where "mlog.dat" holds
    // it: "clog.run" keeps them ahead of the running connection until "clog.dat" has them.
    Checkpoints m_unrecorded;
    CNumberFormat m_numberFormat; // the tooltip's
    ShellOpener m_shellOpener;
};
