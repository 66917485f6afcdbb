#include "log/CConnectionLog.h"

#include "framework/CArchive.h"
#include "framework/CMemoryException.h"
#include "framework/CTextFile.h"
#include "log/CReportRowFormatter.h"
#include "log/ConnectionWalk.h"
#include "log/MonthLog.h"
#include "log/ReportFormat.h"
#include "log/ReportPages.h"
#include "resource.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <ctime>
#include <new>

namespace {

const char* const FILE_NAMES[] = {"clog.dat", "mlog.dat", "frame.htm", "mlog.htm", "clog.htm"};

constexpr TIME64 SECONDS_PER_DAY = 86400;

// Whole days from time to now, truncated toward zero: negative for a time in the future.
TIME64 AgeInDays(TIME64 time, TIME64 now) {
    return (now - time) / SECONDS_PER_DAY;
}

void OpenWithShell(const std::string& path) {
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ClearTotals(MONTHTOTAL& entry) {
    entry.nDuration = 0;
    entry.nReceived = 0;
    entry.nSent = 0;
}

} // namespace

CConnectionLog::CConnectionLog() : m_numberFormat(-1), m_shellOpener(&OpenWithShell) {
    for (CFileLocation& location : m_aLocation)
        location.SetLocation(CFileLocation::LOCATION_PROGRAM_FOLDER);
    StartUp();
}

CConnectionLog::CConnectionLog(const std::string& folder)
    : m_numberFormat(-1), m_shellOpener(&OpenWithShell) {
    for (CFileLocation& location : m_aLocation)
        location.SetFolder(folder);
    StartUp();
}

CConnectionLog::~CConnectionLog() {
    EndConnection();
}

void CConnectionLog::StartUp() {
    for (int file = 0; file < FILE_COUNT; ++file)
        m_aLocation[file].SetFileName(FILE_NAMES[file]);
    // What a crash left half-written is never data.
    CFileReplacement::RemoveLeftover(PathOf(CLOG_DAT));
    CFileReplacement::RemoveLeftover(PathOf(MLOG_DAT));

    LoadMonthTotals();

    if (!m_aLocation[FRAME_HTM].Exists())
        WriteFrameReport(PathOf(FRAME_HTM));
    if (!m_aLocation[CLOG_HTM].Exists())
        WriteConnectionReportShell(PathOf(CLOG_HTM), true);
    if (!m_aLocation[MLOG_HTM].Exists())
        WriteMonthReport(PathOf(MLOG_HTM));
}

void CConnectionLog::SetShellOpener(ShellOpener opener) {
    m_shellOpener = opener ? std::move(opener) : ShellOpener(&OpenWithShell);
}

void CConnectionLog::SetDataFileOpener(CFileReplacement::FileOpener opener) {
    m_dataFileOpener = std::move(opener);
}

// ---- the month table ("mlog.dat")

void CConnectionLog::LoadMonthTotals() {
    const TIME64 saveTime = ReadMonthTotals();
    const TIME64 now = Clock::Now();
    if (AgeInDays(saveTime, now) > KEEP_DAYS)
        DeleteAll();
    else
        ClearOldMonths(Clock::LocalMonth(now));
}

// Returns the save time, 0 when the file is missing or damaged. The file is closed again
// before a reset replaces it.
TIME64 CConnectionLog::ReadMonthTotals() {
    m_aMonth = MonthTable{};
    CFile file;
    if (!file.Open(PathOf(MLOG_DAT), CFile::modeRead | CFile::shareDenyWrite))
        return 0;
    try {
        return ReadMonthLog(file, m_aMonth);
    } catch (const CException&) {
        return 0; // read errors at start-up are not reported
    }
}

// Keeps the current month and the months just before it: those after it in the table hold
// last year's traffic, which would otherwise be added to.
void CConnectionLog::ClearOldMonths(int month) {
    for (int k = 1; k <= 8; ++k)
        ClearTotals(m_aMonth[(month + k) % MONTH_ENTRIES]);
}

void CConnectionLog::SaveMonthTotals() {
    CFileReplacement replacement(PathOf(MLOG_DAT), m_dataFileOpener);
    if (!replacement.Open())
        return;
    try {
        WriteMonthLog(replacement.GetFile(), Clock::Now(), m_aMonth);
        replacement.Commit();
    } catch (const CException& e) {
        e.ReportError();
    }
}

// ---- the single connections ("clog.dat")

void CConnectionLog::LoadConnections() {
    m_list.clear();
    CFile file;
    if (!file.Open(PathOf(CLOG_DAT), CFile::modeRead | CFile::shareDenyWrite))
        return;
    try {
        CArchive archive(file, CArchive::load, CArchive::DEFAULT_BUFFER_SIZE);
        // With room for the connection a recording adds, so that it does not move the list.
        LoadConnectionList(archive, m_list, file.GetLength(), 1);
    } catch (const CException& e) {
        e.ReportError();
    }
}

void CConnectionLog::SaveConnections() {
    CFileReplacement replacement(PathOf(CLOG_DAT), m_dataFileOpener);
    if (!replacement.Open())
        return;
    try {
        CArchive archive(replacement.GetFile(), CArchive::store, CArchive::DEFAULT_BUFFER_SIZE);
        StoreConnectionList(archive, m_list);
        archive.Close();
        replacement.Commit();
    } catch (const CException& e) {
        e.ReportError();
    }
}

// ---- the running connection

void CConnectionLog::StartConnection(std::int64_t nReceived, std::int64_t nSent) {
    m_pCurrent = std::make_unique<CConnectionInfo>();
    m_pCurrent->m_nReceivedStart = nReceived;
    m_pCurrent->m_nSentStart = nSent;
}

void CConnectionLog::UpdateConnection(std::int64_t nReceived, std::int64_t nSent) {
    if (!m_pCurrent)
        return;
    CConnectionInfo& info = *m_pCurrent;
    // A start reading below zero marks one that was missing; the first update supplies it.
    if (info.m_nReceivedStart < 0 || info.m_nSentStart < 0) {
        info.m_nReceivedStart = nReceived;
        info.m_nSentStart = nSent;
    }
    if (nReceived != 0)
        info.m_nReceived = nReceived - info.m_nReceivedStart;
    if (nSent != 0)
        info.m_nSent = nSent - info.m_nSentStart;
    info.m_nDuration = static_cast<std::int32_t>(Clock::Now() - info.m_timeStart);
}

void CConnectionLog::EndConnection() {
    if (!m_pCurrent)
        return;
    // The whole connection counts for the month it began in.
    const int month = m_pCurrent->GetMonth();
    if (month >= 1 && month <= 12) {
        MONTHTOTAL& entry = m_aMonth[month];
        entry.nDuration += m_pCurrent->m_nDuration;
        entry.nReceived += m_pCurrent->m_nReceived;
        entry.nSent += m_pCurrent->m_nSent;
    }
    RecordConnection(m_pCurrent.get());
    m_pCurrent.reset();
    SaveMonthTotals();
}

// ---- recording: "clog.dat" pruned and rewritten, both reports anew

void CConnectionLog::RecordConnection(const CConnectionInfo* pInfo) {
    LoadConnections();
    if (pInfo)
        m_list.push_back(*pInfo);
    const std::optional<std::uint64_t> headEnd = WriteConnectionReportHead(PathOf(CLOG_HTM));
    if (WriteConnectionRows(headEnd))
        WriteMonthReport(PathOf(MLOG_HTM));
    SaveConnections();
    // The list can run to megabytes; a tray program keeps none of them between recordings.
    CConnectionList().swap(m_list);
}

// Writes the rows and the foot after the head of "clog.htm", dropping connections that have
// grown too old, and ends the page there. Without a known head the rows go to the end of the
// file. On a file error the walk stops where it is: the connections not reached stay, and the
// page ends where the writing stopped.
bool CConnectionLog::WriteConnectionRows(std::optional<std::uint64_t> headEnd) {
    CTextFile file;
    CFileException openError;
    if (!file.Open(PathOf(CLOG_HTM),
                   CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                       CFile::shareDenyWrite,
                   &openError)) {
        openError.ReportError();
        return false;
    }
    try {
        if (headEnd)
            file.Seek(static_cast<std::int64_t>(*headEnd), CFile::begin);
        else
            file.SeekToEnd();
    } catch (const CException& e) {
        file.Abort();
        e.ReportError();
        return false;
    }
    // From here on the old page lies behind what is written; whatever stops the writing, the
    // page must end where it stopped.
    try {
        WriteRowsAndFoot(file);
        file.SetLength(file.GetPosition());
        file.Close();
        return true;
    } catch (const CException& e) {
        file.AbortAtPosition();
        e.ReportError();
    } catch (const std::bad_alloc&) {
        file.AbortAtPosition();
        CMemoryException().ReportError();
    } catch (...) {
        file.AbortAtPosition();
        throw;
    }
    return false;
}

void CConnectionLog::WriteRowsAndFoot(CTextFile& file) {
    m_numberFormat.SetDecimals(2);
    CReportRowFormatter rows(m_numberFormat);
    const TIME64 now = Clock::Now();
    const auto tooOld = [now](const CConnectionInfo& info) {
        return AgeInDays(info.m_timeStart, now) >= KEEP_DAYS;
    };
    WalkConnectionList(m_list, m_bOldestFirst, tooOld,
                       [&](const CConnectionInfo& info) { rows.WriteRow(info, file); });
    WriteTemplate(file, IDR_CLOG_FOOT);
}

// ---- the month report ("mlog.htm")

void CConnectionLog::WriteMonthReport(const std::string& path) {
    try {
        CTextFile file(path, ReportPageFlags());
        WriteTemplate(file, IDR_MLOG_HEAD);
        m_numberFormat.SetDecimals(2);
        const __time64_t now = Clock::Now();
        std::tm local{};
        if (_localtime64_s(&local, &now) == 0) {
            const int month = local.tm_mon + 1;
            for (int k = 2; k >= 0; --k) {
                const int shown = month - k < 1 ? month - k + 12 : month - k;
                file.WriteString(FormatMonthRow(shown, local.tm_year + 1900));
            }
        }
        WriteTemplate(file, IDR_MLOG_FOOT);
        file.Close();
    } catch (const CException& e) {
        e.ReportError();
    }
}

std::string CConnectionLog::FormatMonthRow(int month, int year) {
    const MONTHTOTAL& entry = m_aMonth[month];
    std::string row = "<tr>";
    row += FormatCell(FormatMonthName(month, year));
    row += FormatCell(FormatDuration(entry.nDuration));
    row += FormatCell(FormatMegabytes(entry.nReceived, m_numberFormat));
    row += FormatCell(FormatMegabytes(entry.nSent, m_numberFormat));
    row += FormatCell(FormatMegabytes(entry.nReceived + entry.nSent, m_numberFormat));
    row += "</tr>\n";
    return row;
}

// ---- the other operations

void CConnectionLog::GetVolumeText(std::string& text) {
    const MONTHTOTAL& entry = m_aMonth[Clock::LocalMonth(Clock::Now())];
    std::int64_t total = entry.nReceived + entry.nSent;
    if (m_pCurrent)
        total += m_pCurrent->m_nReceived + m_pCurrent->m_nSent;
    m_numberFormat.SetDecimals(2);
    text = FormatMegabytes(total, m_numberFormat);
}

void CConnectionLog::SetSortOrder(bool bOldestFirst) {
    m_bOldestFirst = bOldestFirst;
    RecordConnection(nullptr);
}

void CConnectionLog::ShowLog() {
    m_shellOpener(PathOf(FRAME_HTM));
}

void CConnectionLog::ClearConnections() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_list.clear();
    SaveConnections();
    WriteFrameReport(PathOf(FRAME_HTM));
    WriteConnectionReportShell(PathOf(CLOG_HTM), true);
    WriteMonthReport(PathOf(MLOG_HTM));
}

void CConnectionLog::DeleteAll() {
    m_aMonth = MonthTable{};
    SaveMonthTotals();
    ClearConnections();
}

std::size_t CConnectionLog::LongestFileName() {
    std::size_t longest = 0;
    for (int file = 0; file < FILE_COUNT; ++file) {
        // The data files are written beside themselves under a temporary name first.
        const bool bReplaced = file == CLOG_DAT || file == MLOG_DAT;
        const std::string name = FILE_NAMES[file];
        longest = std::max(longest, bReplaced ? CFileReplacement::TemporaryPathOf(name).size()
                                              : name.size());
    }
    return longest;
}
