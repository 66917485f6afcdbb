#pragma once
// The program's memory of traffic: the running connection, the month totals ("mlog.dat"), the
// single connections of the last 93 days ("clog.dat") and the three report pages built from
// them ("frame.htm", "clog.htm", "mlog.htm"), all in one folder.
//
// No finished connection is lost to a data file that cannot be written for the moment (held by
// another program, no room for its temporary file): what has not reached "clog.dat" and
// "mlog.dat" stays in memory and is written at the next recording, order change or exit; what
// still cannot be written at exit is reported. A data file that exists but cannot be read is
// never replaced by less than it holds.
#include "framework/CCriticalSection.h"
#include "framework/CFileReplacement.h"
#include "framework/CFileLocation.h"
#include "log/CConnectionList.h"
#include "log/CMonthTotals.h"
#include "log/CNumberFormat.h"
#include "log/CRunningCheckpoint.h"
#include "log/LogAge.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class CTextFile;

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

    // The readings of the counters as the shell hands them over: running totals in bytes,
    // with two values of their own.
    // A reading that could not be taken. As a start reading it leaves the baseline to the
    // first update.
    static constexpr std::int64_t MISSING_READING = -1;
    // An update with this reading leaves that volume as it is: a counter that the system clears
    // with the link reads it once the link is down.
    static constexpr std::int64_t READING_KEEPS_VOLUME = 0;
    static constexpr std::int64_t CLOCK_CHANGE_SECONDS = 60;

    // A connection began with these counter readings; one still running is dropped unbooked.
    void StartConnection(std::int64_t nReceived, std::int64_t nSent);
    // New counter readings of the running connection; its volumes are the readings less the
    // start readings, its duration the time since it began. A clock set during the connection
    // (by more than CLOCK_CHANGE_SECONDS against the tick count) moves its start instead: it
    // began its measured length before now.
    void UpdateConnection(std::int64_t nReceived, std::int64_t nSent);
    // The hang-up of the last connection: books the running connection to the month it began
    // in, records it in "clog.dat" and the reports, and saves the month totals.
    void EndConnection();
    // While a connection runs, its first update writes it to "clog.run", and a later one once
    // this many seconds have passed since it was last written there; 0 writes none. A "clog.run"
    // that a crash left is booked at the start whatever the interval: at most once into each data
    // file.
    void SetCheckpointInterval(unsigned nSeconds);

    // The current month's megabytes, the running connection included, for the tooltip.
    void GetVolumeText(std::string& text);
    // The bytes of the connections that began at or after periodStart, the running one
    // included: those received, or those received and sent. Read from the end of "clog.dat"
    // once per recording, not at every call.
    std::int64_t GetUseSince(TIME64 periodStart, bool bReceivedOnly);
    // Row order of "clog.htm"; rewrites the reports.
    void SetSortOrder(bool bOldestFirst);
    void ShowLog();
    // Empties "clog.dat" and writes all three pages anew.
    void ClearConnections();
    // Zeroes the month totals as well.
    void DeleteAll();

    // "mlog.htm": the current month and the two before it. File errors are reported.
    void WriteMonthReport(const std::string& path);

    // Writes what the data files still lack; true when nothing is left unsaved.
    bool SaveUnsaved();
    // Tells the user which data files could not take what belongs in them, if any.
    void ReportUnsaved();

    bool IsConnected() const { return m_pCurrent != nullptr; }
    void SetShellOpener(ShellOpener opener);
    // Opens "clog.dat" and "mlog.dat" for reading and their temporary files for writing; tests
    // simulate a full disk or a failing read.
    void SetDataFileOpener(CFileReplacement::FileOpener opener);

    // The longest name of a file the log writes into its folder, temporary names included.
    static std::size_t LongestFileName();

private:
    enum FileId { CLOG_DAT, MLOG_DAT, CLOG_RUN, FRAME_HTM, MLOG_HTM, CLOG_HTM, FILE_COUNT };

    void SetFolder(const std::string& folder);
    void StartUp();
    std::string PathOf(FileId file) const { return m_aLocation[file].GetPath(); }

    std::unique_ptr<CFile> OpenDataFile(FileId file, CFileException* error) const;
    void UpdateDuration(CConnectionInfo& info);
    void LoadMonthTotals();
    void BookMissingConnections(TIME64 saveTime);
    CConnectionList LastRecorded(const std::function<bool(const CConnectionInfo&)>& wanted) const;
    void BookCheckpoint();
    bool EndsConnectionFile(const CConnectionInfo& info) const;
    void WriteCheckpoint();
    void SettleCheckpoint(const CConnectionInfo& info);
    std::int64_t RecordedUseSince(TIME64 periodStart, bool bReceivedOnly) const;
    bool LoadConnections();
    bool SaveConnections();
    void RecordConnection(const CConnectionInfo* pInfo);
    void ReportDataFile(unsigned nIDText, FileId file) const;
    bool WriteConnectionRows(std::optional<std::uint64_t> headEnd);
    void WriteRowsAndFoot(CTextFile& file);

    CMonthTotals m_months;
    CCriticalSection m_lock;
    CConnectionList m_unsaved; // finished connections that have not reached "clog.dat"
    CFileLocation m_aLocation[FILE_COUNT];
    CNumberFormat m_numberFormat;
    CConnectionList m_list;
    std::unique_ptr<CConnectionInfo> m_pCurrent;
    // The running connection's length by the tick count, which a change of the clock does not
    // move: milliseconds online, and the ticks of the last update.
    std::uint64_t m_nOnlineMs = 0;
    std::uint32_t m_dwLastTicks = 0;
    CRunningCheckpoint m_checkpoint;
    std::uint64_t m_nCheckpointMs = 0;   // the interval; 0 writes no checkpoint
    std::uint64_t m_nCheckpointAtMs = 0; // m_nOnlineMs when it was last written
    bool m_bCheckpointed = false;        // "clog.run" may hold the running connection
    bool m_bOldestFirst = true;
    // GetUseSince's sum of the recorded connections, for the start and kind it was asked for.
    struct USE_SINCE {
        bool bValid = false;
        TIME64 periodStart = 0;
        bool bReceivedOnly = false;
        std::int64_t nBytes = 0;
    } m_recordedUse;
    ShellOpener m_shellOpener;
    CFileReplacement::FileOpener m_dataFileOpener;
};
