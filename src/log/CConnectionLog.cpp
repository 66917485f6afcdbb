#include "log/CConnectionLog.h"

#include "framework/AppMessageBox.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CCriticalSectionLock.h"
#include "framework/CMemoryException.h"
#include "framework/CTextFile.h"
#include "framework/FileInUse.h"
#include "framework/LoadStringResource.h"
#include "log/CReportRowFormatter.h"
#include "log/ConnectionWalk.h"
#include "log/DataFolder.h"
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

bool IsMissing(const CFileException& error) {
    return error.GetCause() == CFileException::fileNotFound ||
           error.GetCause() == CFileException::badPath;
}

// Another program holding the file is no fault to report: what it kept out is written later.
void ReportUnlessInUse(const CException& e) {
    const auto* fileError = dynamic_cast<const CFileException*>(&e);
    if (!fileError || !fw::IsFileInUseError(static_cast<unsigned long>(fileError->GetOsError())))
        e.ReportError();
}

} // namespace

CConnectionLog::CConnectionLog() : m_numberFormat(-1), m_shellOpener(&OpenWithShell) {
    const std::string folder = DataFolder();
    for (CFileLocation& location : m_aLocation)
        location.SetFolder(folder);
    StartUp();
}

CConnectionLog::CConnectionLog(const std::string& folder)
    : m_numberFormat(-1), m_shellOpener(&OpenWithShell) {
    for (CFileLocation& location : m_aLocation)
        location.SetFolder(folder);
    StartUp();
}

CConnectionLog::~CConnectionLog() {
    if (IsConnected())
        EndConnection();
    else
        SaveUnsaved();
    ReportUnsaved();
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

// ---- reading the data files

std::unique_ptr<CFile> CConnectionLog::OpenDataFile(FileId fileId, CFileException* error) const {
    const std::string path = PathOf(fileId);
    const unsigned flags = CFile::modeRead | CFile::shareDenyWrite;
    std::unique_ptr<CFile> file;
    fw::TryWhileFileInUse(
        [&](CFileException* attemptError) {
            if (m_dataFileOpener) {
                file = m_dataFileOpener(path, flags, attemptError);
            } else {
                file = std::make_unique<CFile>();
                if (!file->Open(path, flags, attemptError))
                    file.reset();
            }
            return file != nullptr;
        },
        error);
    return file;
}

// ---- the month table ("mlog.dat")

// Only a log that is gone, or one saved too long ago, starts anew: a file that is there but
// cannot be read says nothing about its age, and resetting would throw its log away.
void CConnectionLog::LoadMonthTotals() {
    TIME64 saveTime = 0;
    const MonthFile state = ReadMonthTotals(m_aMonth, saveTime);
    const TIME64 now = Clock::Now();
    if (state == MonthFile::missing ||
        (state == MonthFile::read && AgeInDays(saveTime, now) > KEEP_DAYS)) {
        DeleteAll();
        return;
    }
    if (state == MonthFile::unreadable) {
        m_aMonth = MonthTable{};
        m_bMonthFileUnread = true;
        ReportDataFile(IDS_DATA_FILE_UNREADABLE, MLOG_DAT);
        return;
    }
    if (state == MonthFile::read)
        BookMissingConnections(saveTime);
    ClearOldMonths(m_aMonth, Clock::LocalMonth(now));
}

// A file that cannot be read for the moment is given the same patience as one being replaced.
CConnectionLog::MonthFile CConnectionLog::ReadMonthTotals(MonthTable& table,
                                                          TIME64& saveTime) const {
    const DWORD start = GetTickCount();
    for (;;) {
        const MonthFile state = TryReadMonthTotals(table, saveTime);
        if (state != MonthFile::unreadable || GetTickCount() - start >= fw::FILE_IN_USE_PATIENCE_MS)
            return state;
        Sleep(fw::FILE_IN_USE_RETRY_MS);
    }
}

CConnectionLog::MonthFile CConnectionLog::TryReadMonthTotals(MonthTable& table,
                                                             TIME64& saveTime) const {
    table = MonthTable{};
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFile(MLOG_DAT, &error);
    if (!file)
        return IsMissing(error) ? MonthFile::missing : MonthFile::unreadable;
    try {
        const bool bTimeStored = file->GetLength() >= 4;
        saveTime = ReadMonthLog(*file, table);
        return bTimeStored ? MonthFile::read : MonthFile::timeless;
    } catch (const CException&) {
        table = MonthTable{};
        return MonthFile::unreadable;
    }
}

// A kill between the replacement of "clog.dat" and that of "mlog.dat" leaves the connections
// recorded last out of the month totals. Those are the ones at the end of "clog.dat" that ended
// after the totals were saved: every connection booked before a save ended before it.
void CConnectionLog::BookMissingConnections(TIME64 saveTime) {
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFile(CLOG_DAT, &error);
    if (!file)
        return;
    try {
        const CConnectionList missing =
            ReadLastConnections(*file, [saveTime](const CConnectionInfo& info) {
                return info.m_timeStart + info.m_nDuration > saveTime;
            });
        for (const CConnectionInfo& info : missing)
            Book(info); // marks the totals unsaved
    } catch (const CException&) {
        // what cannot be read here is reported when the list is loaded
    }
}

// Until "mlog.dat" has been read, the table holds only what was booked since start; once the
// file can be read, its totals are taken in as a start would have, with the bookings added.
bool CConnectionLog::CatchUpWithMonthFile() {
    if (!m_bMonthFileUnread)
        return true;
    MonthTable stored{};
    TIME64 saveTime = 0;
    const MonthFile state = TryReadMonthTotals(stored, saveTime);
    if (state == MonthFile::unreadable)
        return false;
    const TIME64 now = Clock::Now();
    if (state == MonthFile::read && AgeInDays(saveTime, now) > KEEP_DAYS)
        stored = MonthTable{};
    ClearOldMonths(stored, Clock::LocalMonth(now));
    for (int m = 0; m < MONTH_ENTRIES; ++m) {
        stored[m].nDuration += m_aMonth[m].nDuration;
        stored[m].nReceived += m_aMonth[m].nReceived;
        stored[m].nSent += m_aMonth[m].nSent;
    }
    m_aMonth = stored;
    m_bMonthFileUnread = false;
    return true;
}

// Keeps the current month and the months just before it: those after it in the table hold
// last year's traffic, which would otherwise be added to.
void CConnectionLog::ClearOldMonths(MonthTable& table, int month) {
    for (int k = 1; k <= 8; ++k)
        ClearTotals(table[(month + k) % MONTH_ENTRIES]);
}

// The whole connection counts for the month it began in.
void CConnectionLog::Book(const CConnectionInfo& info) {
    const int month = info.GetMonth();
    if (month < 1 || month > 12)
        return;
    MONTHTOTAL& entry = m_aMonth[month];
    entry.nDuration += info.m_nDuration;
    entry.nReceived += info.m_nReceived;
    entry.nSent += info.m_nSent;
    m_bMonthTotalsUnsaved = true;
}

// Returns whether "mlog.dat" holds the table now. A file that another program holds stays
// unsaved without a word; the table is written again at the next chance.
bool CConnectionLog::SaveMonthTotals() {
    m_bMonthTotalsUnsaved = true;
    if (!CatchUpWithMonthFile())
        return false;
    CFileReplacement replacement(PathOf(MLOG_DAT), m_dataFileOpener);
    if (!replacement.Open())
        return false;
    try {
        WriteMonthLog(replacement.GetFile(), Clock::Now(), m_aMonth);
        replacement.Commit();
        m_bMonthTotalsUnsaved = false;
    } catch (const CException& e) {
        ReportUnlessInUse(e);
    }
    return !m_bMonthTotalsUnsaved;
}

// ---- the single connections ("clog.dat")

// Returns whether the list holds all that "clog.dat" holds: the file is missing, or it was
// read to its end. A record cut short or a count that promises more than is there is damage
// that no later read mends, so the complete records count as all there is.
bool CConnectionLog::LoadConnections() {
    m_list.clear();
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFile(CLOG_DAT, &error);
    if (!file)
        return IsMissing(error);
    try {
        CArchive archive(*file, CArchive::load, CArchive::DEFAULT_BUFFER_SIZE);
        // With room for the connections a recording adds, so that they do not move the list.
        LoadConnectionList(archive, m_list, file->GetLength(),
                           static_cast<std::uint32_t>(m_unsaved.size() + 1));
        return true;
    } catch (const CArchiveException& e) {
        e.ReportError();
        return e.GetCause() == CArchiveException::endOfFile;
    } catch (const CFileException& e) {
        e.ReportError();
        return e.GetCause() == CFileException::endOfFile;
    } catch (const CException& e) {
        e.ReportError();
        return false;
    }
}

// Returns whether "clog.dat" holds the list now.
bool CConnectionLog::SaveConnections() {
    CFileReplacement replacement(PathOf(CLOG_DAT), m_dataFileOpener);
    if (!replacement.Open())
        return false;
    try {
        CArchive archive(replacement.GetFile(), CArchive::store, CArchive::DEFAULT_BUFFER_SIZE);
        StoreConnectionList(archive, m_list);
        archive.Close();
        replacement.Commit();
        return true;
    } catch (const CException& e) {
        ReportUnlessInUse(e);
        return false;
    }
}

// ---- what could not be saved

bool CConnectionLog::SaveUnsaved() {
    if (!m_unsaved.empty())
        RecordConnection(nullptr);
    if (m_bMonthTotalsUnsaved)
        SaveMonthTotals();
    return m_unsaved.empty() && !m_bMonthTotalsUnsaved;
}

void CConnectionLog::ReportUnsaved() {
    if (!m_unsaved.empty())
        ReportDataFile(IDS_DATA_FILE_NOT_SAVED, CLOG_DAT);
    if (m_bMonthTotalsUnsaved)
        ReportDataFile(IDS_DATA_FILE_NOT_SAVED, MLOG_DAT);
}

void CConnectionLog::ReportDataFile(unsigned nIDText, FileId file) const {
    std::string text = fw::LoadStringResource(nIDText);
    const std::string::size_type at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, PathOf(file));
    fw::AppMessageBox(text, MB_ICONEXCLAMATION);
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
    Book(*m_pCurrent);
    RecordConnection(m_pCurrent.get());
    m_pCurrent.reset();
    SaveMonthTotals();
}

// ---- recording: "clog.dat" pruned and rewritten, both reports anew

// Connections that "clog.dat" did not take before wait for the next recording. A file that was
// not read in full is neither replaced nor shown: its connections would be lost.
void CConnectionLog::RecordConnection(const CConnectionInfo* pInfo) {
    if (pInfo)
        m_unsaved.push_back(*pInfo);
    if (LoadConnections()) {
        m_list.insert(m_list.end(), m_unsaved.begin(), m_unsaved.end());
        const std::optional<std::uint64_t> headEnd = WriteConnectionReportHead(PathOf(CLOG_HTM));
        if (WriteConnectionRows(headEnd))
            WriteMonthReport(PathOf(MLOG_HTM));
        if (SaveConnections())
            m_unsaved.clear();
    } else {
        WriteMonthReport(PathOf(MLOG_HTM));
    }
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
    if (m_bMonthTotalsUnsaved)
        SaveMonthTotals();
}

void CConnectionLog::ShowLog() {
    m_shellOpener(PathOf(FRAME_HTM));
}

void CConnectionLog::ClearConnections() {
    CCriticalSectionLock hold(m_lock);
    m_list.clear();
    m_unsaved.clear();
    SaveConnections();
    WriteFrameReport(PathOf(FRAME_HTM));
    WriteConnectionReportShell(PathOf(CLOG_HTM), true);
    WriteMonthReport(PathOf(MLOG_HTM));
}

void CConnectionLog::DeleteAll() {
    m_aMonth = MonthTable{};
    m_bMonthFileUnread = false; // what it held is to go
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
