#pragma once
// The program's memory of traffic: the running connection, the month totals ("mlog.dat"), the
// single connections of the last 93 days ("clog.dat") and the three report pages built from
// them ("frame.htm", "clog.htm", "mlog.htm"), all in one folder.
#include "framework/CFileReplacement.h"
#include "log/CConnectionList.h"
#include "framework/CFileLocation.h"
#include "log/CNumberFormat.h"
#include "log/MONTHTOTAL.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class CTextFile;

class CConnectionLog {
public:
    // Opens a page with the user's browser; tests put their own in place of the shell.
    using ShellOpener = std::function<void(const std::string& path)>;

    // Single connections are kept for this many whole days.
    static constexpr int KEEP_DAYS = 93;

    // The log of the program's folder.
    CConnectionLog();
    // The log of the given folder.
    explicit CConnectionLog(const std::string& folder);
    // Books and records a connection that is still running.
    virtual ~CConnectionLog();

    CConnectionLog(const CConnectionLog&) = delete;
    CConnectionLog& operator=(const CConnectionLog&) = delete;

    // A connection began with these counter readings; one still running is dropped unbooked.
    void StartConnection(std::int64_t nReceived, std::int64_t nSent);
    // New counter readings of the running connection; a reading of 0 leaves its volume.
    void UpdateConnection(std::int64_t nReceived, std::int64_t nSent);
    // Books the running connection to the month it began in and records it.
    void EndConnection();

    // The current month's megabytes, the running connection included, for the tooltip.
    void GetVolumeText(std::string& text);
    // Row order of "clog.htm"; rewrites the reports.
    void SetSortOrder(bool bOldestFirst);
    void ShowLog();
    // Empties "clog.dat" and writes all three pages anew.
    void ClearConnections();
    // Zeroes the month totals as well.
    void DeleteAll();

    // "mlog.htm": the current month and the two before it. File errors are reported.
    void WriteMonthReport(const std::string& path);

    bool IsConnected() const { return m_pCurrent != nullptr; }
    void SetShellOpener(ShellOpener opener);
    // Opens the temporary files of "clog.dat" and "mlog.dat"; tests simulate a full disk.
    void SetDataFileOpener(CFileReplacement::FileOpener opener);

    // The longest name of a file the log writes into its folder, temporary names included.
    static std::size_t LongestFileName();

private:
    enum FileId { CLOG_DAT, MLOG_DAT, FRAME_HTM, MLOG_HTM, CLOG_HTM, FILE_COUNT };

    void SetFolder(const std::string& folder);
    void StartUp();
    std::string PathOf(FileId file) const { return m_aLocation[file].GetPath(); }

    void LoadMonthTotals();
    TIME64 ReadMonthTotals();
    void ClearOldMonths(int month);
    void SaveMonthTotals();
    void LoadConnections();
    void SaveConnections();
    void RecordConnection(const CConnectionInfo* pInfo);
    bool WriteConnectionRows(std::optional<std::uint64_t> headEnd);
    void WriteRowsAndFoot(CTextFile& file);
    std::string FormatMonthRow(int month, int year);

    MonthTable m_aMonth{};
    std::mutex m_lock;
    CFileLocation m_aLocation[FILE_COUNT];
    CNumberFormat m_numberFormat;
    CConnectionList m_list;
    std::unique_ptr<CConnectionInfo> m_pCurrent;
    bool m_bOldestFirst = true;
    ShellOpener m_shellOpener;
    CFileReplacement::FileOpener m_dataFileOpener;
};
