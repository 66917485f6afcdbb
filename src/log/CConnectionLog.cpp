#include "log/CConnectionLog.h"

#include "framework/AppMessageBox.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CCriticalSectionLock.h"
#include "framework/CMemoryException.h"
#include "framework/CTextFile.h"
#include "framework/FillPlaceholders.h"
#include "framework/LoadStringResource.h"
#include "log/CReportRowFormatter.h"
#include "log/ConnectionWalk.h"
#include "log/DataFileAccess.h"
#include "log/DataFolder.h"
#include "log/LogAge.h"
#include "log/ReportFormat.h"
#include "log/ReportPages.h"
#include "resource.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <ctime>
#include <iterator>
#include <new>
#include <utility>

namespace {

const char* const FILE_NAMES[] = {"clog.dat",  "mlog.dat", "clog.run",
                                  "frame.htm", "mlog.htm", "clog.htm"};

// Samples come every few seconds; a checkpoint due within this much of a sample is written at it,
// so that an interval of a whole number of samples is kept.
constexpr std::uint64_t CHECKPOINT_SLACK_MS = 1000;
// The first update of a connection writes one at once: a kill before the next leaves the period
// its start at least, and the hang-up's saving always has one to fall back on.
constexpr std::uint64_t CHECKPOINT_DUE = ~std::uint64_t(0);

void OpenWithShell(const std::string& path) {
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
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
    m_months.SetPath(PathOf(MLOG_DAT));
    m_checkpoint.SetPath(PathOf(CLOG_RUN));
    // What a crash left half-written is never data.
    for (FileId file : {CLOG_DAT, MLOG_DAT, CLOG_RUN})
        CFileReplacement::RemoveLeftover(PathOf(file));

    LoadMonthTotals();
    BookCheckpoint();

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
    m_dataFileOpener = opener;
    m_checkpoint.SetFileOpener(opener);
    m_months.SetFileOpener(std::move(opener));
}

// ---- reading the data files

std::unique_ptr<CFile> CConnectionLog::OpenDataFile(FileId fileId, CFileException* error) const {
    return OpenDataFileForReading(PathOf(fileId), m_dataFileOpener, error);
}

// ---- the month table ("mlog.dat")

// The month file decides whether the log starts anew (Load says why and when).
void CConnectionLog::LoadMonthTotals() {
    TIME64 saveTime = 0;
    switch (m_months.Load(saveTime)) {
    case CMonthTotals::Start::anew:
        DeleteAll();
        return;
    case CMonthTotals::Start::missing:
        if (!m_aLocation[CLOG_DAT].Exists()) {
            DeleteAll(); // the first start: both files and all three pages anew
            return;
        }
        // The month file alone is gone (deleted to reset the figures, lost to a clean-up, or
        // clog.dat restored from a backup): nothing says the connections are old, so they stay
        // and age out one by one, and the totals start from them. No total is left to count one
        // twice.
        BookMissingConnections(0);
        m_months.ClearOldMonths();
        m_months.Save();
        WriteMonthReport(PathOf(MLOG_HTM));
        return;
    case CMonthTotals::Start::unreadable:
        ReportDataFile(IDS_DATA_FILE_UNREADABLE, MLOG_DAT);
        return;
    case CMonthTotals::Start::read:
        BookMissingConnections(saveTime);
        break;
    case CMonthTotals::Start::timeless:
        break;
    }
    m_months.ClearOldMonths();
}

// A kill between the replacement of "clog.dat" and that of "mlog.dat" leaves the connections
// recorded last out of the month totals. Those are the ones at the end of "clog.dat" that ended
// after the totals were saved: every connection booked before a save ended before it.
void CConnectionLog::BookMissingConnections(TIME64 saveTime) {
    const CConnectionList missing = LastRecorded([saveTime](const CConnectionInfo& info) {
        return info.m_timeStart + info.m_nDuration > saveTime;
    });
    for (const CConnectionInfo& info : missing)
        m_months.Book(info); // marks the totals unsaved
}

// The records at the end of "clog.dat" up to the first one not wanted; none where the file
// cannot be read (that is reported when the list is loaded).
CConnectionList
CConnectionLog::LastRecorded(const std::function<bool(const CConnectionInfo&)>& wanted) const {
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFile(CLOG_DAT, &error);
    if (!file)
        return {};
    try {
        return ReadLastConnections(*file, wanted);
    } catch (const CException&) {
        return {};
    }
}

// ---- the running connection that a crash left ("clog.run")

// Booked as a hang-up would have booked it, into what does not hold it yet: a kill during the
// hang-up's saving may have left it in "clog.dat" (the very record, written there after the
// checkpoint), or in the month totals (the checkpoint says so). One older than the log keeps
// would land in this year's month of the same name.
void CConnectionLog::BookCheckpoint() {
    const std::optional<CRunningCheckpoint::Content> left = m_checkpoint.Read();
    if (!left) {
        m_checkpoint.Remove(); // cut or damaged: nothing to go by
        return;
    }
    const CConnectionInfo& info = left->info;
    if (AgeInDays(info.m_timeStart, Clock::Now()) >= KEEP_DAYS || EndsConnectionFile(info)) {
        m_checkpoint.Remove();
        return;
    }
    if (!left->bInMonths)
        m_months.Book(info);
    RecordConnection(&info);
    m_months.Save();
    SettleCheckpoint(info);
}

// Whether the last record of "clog.dat" is this connection, to the byte.
bool CConnectionLog::EndsConnectionFile(const CConnectionInfo& info) const {
    bool bFirst = true;
    const CConnectionList last =
        LastRecorded([&bFirst](const CConnectionInfo&) { return std::exchange(bFirst, false); });
    if (last.empty())
        return false;
    unsigned char a[CConnectionInfo::IMAGE_SIZE];
    unsigned char b[CConnectionInfo::IMAGE_SIZE];
    last.back().StoreImage(a);
    info.StoreImage(b);
    return std::equal(std::begin(a), std::end(a), std::begin(b));
}

void CConnectionLog::WriteCheckpoint() {
    m_nCheckpointAtMs = m_nOnlineMs;
    m_bCheckpointed = m_checkpoint.Write(*m_pCurrent) || m_bCheckpointed;
}

// After a booking: gone once both data files hold the connection; noted where only the month
// totals do; otherwise kept for the next start.
void CConnectionLog::SettleCheckpoint(const CConnectionInfo& info) {
    const bool bInConnections = m_unsaved.empty();
    const bool bInMonths = !m_months.IsUnsaved();
    if (bInConnections && bInMonths)
        m_checkpoint.Remove();
    else if (bInMonths)
        m_checkpoint.Write(info, true);
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
        return IsMissingFile(error);
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
    if (m_months.IsUnsaved())
        m_months.Save();
    return m_unsaved.empty() && !m_months.IsUnsaved();
}

void CConnectionLog::ReportUnsaved() {
    if (!m_unsaved.empty())
        ReportDataFile(IDS_DATA_FILE_NOT_SAVED, CLOG_DAT);
    if (m_months.IsUnsaved())
        ReportDataFile(IDS_DATA_FILE_NOT_SAVED, MLOG_DAT);
}

void CConnectionLog::ReportDataFile(unsigned nIDText, FileId file) const {
    fw::AppMessageBox(fw::FillPlaceholders(fw::LoadStringResource(nIDText), {PathOf(file)}),
                      MB_ICONEXCLAMATION);
}

// ---- the running connection

void CConnectionLog::StartConnection(std::int64_t nReceived, std::int64_t nSent) {
    m_pCurrent = std::make_unique<CConnectionInfo>();
    m_nOnlineMs = 0;
    m_dwLastTicks = Clock::Ticks();
    m_nCheckpointAtMs = CHECKPOINT_DUE;
    // The connection dropped here is not to be booked after a crash either.
    if (std::exchange(m_bCheckpointed, false))
        m_checkpoint.Remove();
    m_pCurrent->m_nReceivedStart = nReceived;
    m_pCurrent->m_nSentStart = nSent;
}

void CConnectionLog::UpdateConnection(std::int64_t nReceived, std::int64_t nSent) {
    if (!m_pCurrent)
        return;
    CConnectionInfo& info = *m_pCurrent;
    // The first update supplies a start reading that was missing.
    if (info.m_nReceivedStart <= MISSING_READING || info.m_nSentStart <= MISSING_READING) {
        info.m_nReceivedStart = nReceived;
        info.m_nSentStart = nSent;
    }
    if (nReceived != READING_KEEPS_VOLUME)
        info.m_nReceived = nReceived - info.m_nReceivedStart;
    if (nSent != READING_KEEPS_VOLUME)
        info.m_nSent = nSent - info.m_nSentStart;
    UpdateDuration(info);
    if (m_nCheckpointMs != 0 &&
        (m_nCheckpointAtMs == CHECKPOINT_DUE ||
         m_nOnlineMs + CHECKPOINT_SLACK_MS >= m_nCheckpointAtMs + m_nCheckpointMs))
        WriteCheckpoint();
}

void CConnectionLog::SetCheckpointInterval(unsigned nSeconds) {
    m_nCheckpointMs = std::uint64_t(nSeconds) * 1000;
}

// The tick count wraps every 49.7 days; added up per update, the wrap does not matter.
void CConnectionLog::UpdateDuration(CConnectionInfo& info) {
    const std::uint32_t ticks = Clock::Ticks();
    m_nOnlineMs += static_cast<std::uint32_t>(ticks - m_dwLastTicks);
    m_dwLastTicks = ticks;
    const TIME64 now = Clock::Now();
    const auto measured = static_cast<TIME64>(m_nOnlineMs / 1000);
    const TIME64 byClock = now - info.m_timeStart;
    if (byClock - measured > CLOCK_CHANGE_SECONDS || measured - byClock > CLOCK_CHANGE_SECONDS)
        info.m_timeStart = now - measured;
    info.m_nDuration = static_cast<std::int32_t>(std::max<TIME64>(0, now - info.m_timeStart));
}

// With checkpoints, the connection as booked goes to "clog.run" before either data file changes,
// so that a kill during the saving leaves the very record that "clog.dat" may already hold. One
// that cannot be written there takes the older checkpoint with it: that one would be booked
// again.
void CConnectionLog::EndConnection() {
    if (!m_pCurrent)
        return;
    const CConnectionInfo info = *m_pCurrent;
    const bool bCheckpointed = m_nCheckpointMs != 0 && m_checkpoint.Write(info);
    if (!bCheckpointed && m_bCheckpointed)
        m_checkpoint.Remove();
    m_bCheckpointed = false;
    m_months.Book(info);
    RecordConnection(&info);
    m_pCurrent.reset();
    m_months.Save();
    if (bCheckpointed)
        SettleCheckpoint(info);
}

// ---- recording: "clog.dat" pruned and rewritten, both reports anew

// Connections that "clog.dat" did not take before wait for the next recording. A file that was
// not read in full is neither replaced nor shown: its connections would be lost.
void CConnectionLog::RecordConnection(const CConnectionInfo* pInfo) {
    m_recordedUse.bValid = false;
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
        return AgeInDays(info.m_timeStart, now) >= LOG_KEEP_DAYS;
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
                file.WriteString(m_months.FormatRow(shown, local.tm_year + 1900, m_numberFormat));
            }
        }
        WriteTemplate(file, IDR_MLOG_FOOT);
        file.Close();
    } catch (const CException& e) {
        e.ReportError();
    }
}

// ---- the other operations

void CConnectionLog::GetVolumeText(std::string& text) {
    const MONTHTOTAL& entry = m_months.Entry(Clock::LocalMonth(Clock::Now()));
    std::int64_t total = entry.nReceived + entry.nSent;
    if (m_pCurrent)
        total += m_pCurrent->m_nReceived + m_pCurrent->m_nSent;
    m_numberFormat.SetDecimals(2);
    text = FormatMegabytes(total, m_numberFormat);
}

namespace {

std::int64_t UseOf(const CConnectionInfo& info, bool bReceivedOnly) {
    return info.m_nReceived + (bReceivedOnly ? 0 : info.m_nSent);
}

} // namespace

std::int64_t CConnectionLog::GetUseSince(TIME64 periodStart, bool bReceivedOnly) {
    USE_SINCE& cached = m_recordedUse;
    if (!cached.bValid || cached.periodStart != periodStart ||
        cached.bReceivedOnly != bReceivedOnly)
        cached = {true, periodStart, bReceivedOnly, RecordedUseSince(periodStart, bReceivedOnly)};
    std::int64_t nBytes = cached.nBytes;
    if (m_pCurrent && m_pCurrent->m_timeStart >= periodStart)
        nBytes += UseOf(*m_pCurrent, bReceivedOnly);
    return nBytes;
}

// "clog.dat" holds the connections in the order they ended, so those of the period are at its
// end; what it could not take yet waits in memory.
std::int64_t CConnectionLog::RecordedUseSince(TIME64 periodStart, bool bReceivedOnly) const {
    std::int64_t nBytes = 0;
    for (const CConnectionInfo& info : m_unsaved)
        if (info.m_timeStart >= periodStart)
            nBytes += UseOf(info, bReceivedOnly);
    const CConnectionList recorded = LastRecorded(
        [periodStart](const CConnectionInfo& info) { return info.m_timeStart >= periodStart; });
    for (const CConnectionInfo& info : recorded)
        nBytes += UseOf(info, bReceivedOnly);
    return nBytes;
}

void CConnectionLog::SetSortOrder(bool bOldestFirst) {
    m_bOldestFirst = bOldestFirst;
    RecordConnection(nullptr);
    if (m_months.IsUnsaved())
        m_months.Save();
}

void CConnectionLog::ShowLog() {
    m_shellOpener(PathOf(FRAME_HTM));
}

// Held here only, for the whole clearing (the list, "clog.dat" and all three pages in one go):
// every operation runs on the frame's thread, so no other one needs the lock.
void CConnectionLog::ClearConnections() {
    CCriticalSectionLock hold(m_lock);
    m_list.clear();
    m_unsaved.clear();
    m_recordedUse.bValid = false;
    SaveConnections();
    WriteFrameReport(PathOf(FRAME_HTM));
    WriteConnectionReportShell(PathOf(CLOG_HTM), true);
    WriteMonthReport(PathOf(MLOG_HTM));
}

void CConnectionLog::DeleteAll() {
    m_months.Clear();
    m_months.Save();
    ClearConnections();
}

std::size_t CConnectionLog::LongestFileName() {
    std::size_t longest = 0;
    for (int file = 0; file < FILE_COUNT; ++file) {
        // The data files are written beside themselves under a temporary name first.
        const bool bReplaced = file == CLOG_DAT || file == MLOG_DAT || file == CLOG_RUN;
        const std::string name = FILE_NAMES[file];
        longest = std::max(longest, bReplaced ? CFileReplacement::TemporaryPathOf(name).size()
                                              : name.size());
    }
    return longest;
}
