#include "log/CConnectionLog.h"

#include "framework/AppMessageBox.h"
#include "framework/CCriticalSectionLock.h"
#include "framework/FillPlaceholders.h"
#include "framework/LoadStringResource.h"
#include "log/DataFolder.h"
#include "resource.h"

#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <utility>

namespace {

// The data files, each replaced in one step by a temporary file beside it.
const char* const DATA_FILE_NAMES[] = {"clog.dat", "mlog.dat", "clog.run"};
enum DataFileId { CLOG_DAT, MLOG_DAT, CLOG_RUN, DATA_FILE_COUNT };

void OpenWithShell(const std::string& path) {
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string PathIn(const std::string& folder, DataFileId file) {
    CFileLocation location;
    location.SetFolder(folder);
    location.SetFileName(DATA_FILE_NAMES[file]);
    return location.GetPath();
}

} // namespace

CConnectionLog::CConnectionLog() : m_numberFormat(-1), m_shellOpener(&OpenWithShell) {
    StartUp(DataFolder());
}

CConnectionLog::CConnectionLog(const std::string& folder)
    : m_numberFormat(-1), m_shellOpener(&OpenWithShell) {
    StartUp(folder);
}

CConnectionLog::~CConnectionLog() {
    if (IsConnected())
        EndConnection();
    else
        SaveUnsaved();
    ReportUnsaved();
}

void CConnectionLog::StartUp(const std::string& folder) {
    m_connections.SetPath(PathIn(folder, CLOG_DAT));
    m_months.SetPath(PathIn(folder, MLOG_DAT));
    m_checkpoint.SetPath(PathIn(folder, CLOG_RUN));
    m_reports.SetFolder(folder);
    // What a crash left half-written is never data.
    for (int file = 0; file < DATA_FILE_COUNT; ++file)
        CFileReplacement::RemoveLeftover(PathIn(folder, static_cast<DataFileId>(file)));

    BookCheckpoint(LoadMonthTotals());
    m_reports.WriteMissingPages(m_months);
}

void CConnectionLog::SetShellOpener(ShellOpener opener) {
    m_shellOpener = opener ? std::move(opener) : ShellOpener(&OpenWithShell);
}

void CConnectionLog::SetDataFileOpener(CFileReplacement::FileOpener opener) {
    m_connections.SetFileOpener(opener);
    m_checkpoint.SetFileOpener(opener);
    m_months.SetFileOpener(std::move(opener));
}

// ---- the start-up

// The month file decides whether the log starts anew (Load says why and when).
CConnectionLog::LogAtStart CConnectionLog::LoadMonthTotals() {
    using Origin = LogAtStart::Origin;
    TIME64 saveTime = 0;
    switch (m_months.Load(saveTime)) {
    case CMonthTotals::Start::anew:
        DeleteAll();
        return {Origin::rebuilt};
    case CMonthTotals::Start::missing: {
        if (_access(m_connections.GetPath().c_str(), 0) != 0) {
            DeleteAll(); // the first start: both files and all three pages anew
            return {Origin::rebuilt};
        }
        // The month file alone is gone (deleted to reset the figures, lost to a clean-up, or
        // clog.dat restored from a backup): nothing says the connections are old, so they stay
        // and age out one by one, and the totals start from them. No total is left to count one
        // twice.
        const bool bRead = BookMissingConnections(0);
        m_months.ClearOldMonths();
        m_months.Save();
        m_reports.WriteMonthReport(m_months);
        return {Origin::rebuilt, 0, !bRead};
    }
    case CMonthTotals::Start::unreadable:
        ReportDataFile(IDS_DATA_FILE_UNREADABLE, m_months.GetPath());
        return {Origin::unknown};
    case CMonthTotals::Start::read: {
        const bool bRead = BookMissingConnections(saveTime);
        m_months.ClearOldMonths();
        return {Origin::saved, saveTime, !bRead};
    }
    case CMonthTotals::Start::timeless:
        break;
    }
    m_months.ClearOldMonths();
    return {Origin::unknown};
}

// A kill between the replacement of "clog.dat" and that of "mlog.dat" leaves the connections
// recorded last out of the month totals. Those are the ones at the end of "clog.dat" that ended
// after the totals were saved: every connection booked before a save ended before it. Only what
// the log keeps is booked: a record it drops at the next recording (a "clog.dat" restored from
// a backup of a year ago) would add last year's month to this year's of the same name. False
// where "clog.dat" is there but could not be read.
bool CConnectionLog::BookMissingConnections(TIME64 saveTime) {
    const std::optional<CConnectionList> missing =
        m_connections.LastRecorded([saveTime](const CConnectionInfo& info) {
            return info.m_timeStart + info.m_nDuration > saveTime;
        });
    const TIME64 now = Clock::Now();
    for (const CConnectionInfo& info : missing.value_or(CConnectionList()))
        if (AgeInDays(info.m_timeStart, now) < KEEP_DAYS)
            m_months.Book(info); // marks the totals unsaved
    return missing.has_value();
}

// ---- the running connection that a crash left ("clog.run")

// Each connection of the file is booked as a hang-up would have booked it, into what does not
// hold it yet: a kill during the hang-up's saving may have left it in "clog.dat" (the very
// record, written there after the checkpoint; its month totals then follow the end-of-file rule
// above), or in the month totals. One older than the log keeps would land in this year's month
// of the same name.
void CConnectionLog::BookCheckpoint(const LogAtStart& start) {
    const std::optional<Checkpoints> left = m_checkpoint.ReadAll();
    if (!left) {
        m_checkpoint.Remove(); // cut or damaged: nothing to go by
        return;
    }
    CConnectionList infos;
    for (const CRunningCheckpoint::Content& content : *left)
        infos.push_back(content.info);
    // A file that could not be read a moment ago is not waited for again.
    const std::optional<std::vector<bool>> recorded =
        start.bConnectionsUnread ? std::nullopt : m_connections.Recorded(infos);
    const TIME64 now = Clock::Now();
    Checkpoints booked;
    for (std::size_t i = 0; i < left->size(); ++i) {
        CRunningCheckpoint::Content content = (*left)[i];
        if (AgeInDays(content.info.m_timeStart, now) >= KEEP_DAYS || (recorded && (*recorded)[i]))
            continue;
        content.bInMonths = InMonthsAtStart(content, start, recorded.has_value());
        if (!content.bInMonths)
            m_months.Book(content.info);
        // Unread, "clog.dat" may hold it already: it is looked for when the file can be read.
        if (recorded)
            m_connections.Queue(content.info);
        else
            m_connections.QueueUnlessRecorded(content.info);
        booked.push_back(content);
    }
    if (booked.empty()) {
        m_checkpoint.Remove();
        return;
    }
    if (recorded)
        RewriteConnections();
    else
        m_reports.WriteMonthReport(m_months); // "clog.dat" takes them at the next recording
    m_months.Save();
    SettleCheckpoint(booked);
}

// A month file that was not read (gone, or too old) holds none of them. One saved after a
// connection that the hang-up was booking ended holds it: the hang-up writes "clog.run" before
// either data file. That says it where "clog.dat" could not be read, which would tell by the
// end-of-file rule; a running connection's checkpoint ends at its last sample, not at its end,
// so elsewhere only the note counts.
bool CConnectionLog::InMonthsAtStart(const CRunningCheckpoint::Content& left,
                                     const LogAtStart& start, bool bConnectionsRead) {
    switch (start.origin) {
    case LogAtStart::Origin::rebuilt:
        return false;
    case LogAtStart::Origin::saved:
        return left.bInMonths || (!bConnectionsRead &&
                                  left.info.m_timeStart + left.info.m_nDuration <= start.saveTime);
    case LogAtStart::Origin::unknown:
        break;
    }
    return left.bInMonths;
}

void CConnectionLog::WriteCheckpoint() {
    m_period.CheckpointTaken();
    m_bCheckpointed = WriteCheckpoints(&m_period.Info()) || m_bCheckpointed;
}

// "clog.run" anew: the finished connections that "clog.dat" lacks, then pLast if given; true
// when the file holds them now. With none, the file goes.
bool CConnectionLog::WriteCheckpoints(const CConnectionInfo* pLast) {
    Checkpoints contents = m_unrecorded;
    if (pLast)
        contents.push_back({*pLast, false});
    if (contents.empty()) {
        m_checkpoint.Remove();
        return false;
    }
    return m_checkpoint.Write(contents);
}

// After a booking: gone once both data files hold everything; where only the month totals do,
// the connections that "clog.dat" lacks stay, noted; otherwise the file stays as it is for the
// next start.
void CConnectionLog::SettleCheckpoint(const Checkpoints& booked) {
    const bool bInConnections = !m_connections.IsUnsaved();
    const bool bInMonths = !m_months.IsUnsaved();
    if (bInConnections) {
        m_unrecorded.clear();
        if (bInMonths)
            m_checkpoint.Remove();
        return;
    }
    m_unrecorded.insert(m_unrecorded.end(), booked.begin(), booked.end());
    if (bInMonths) {
        for (CRunningCheckpoint::Content& content : m_unrecorded)
            content.bInMonths = true;
        m_checkpoint.Write(m_unrecorded);
    }
}

// After a save outside a hang-up: what "clog.dat" has taken leaves "clog.run",
// and where "mlog.dat" has taken the rest, "clog.run" notes it.
void CConnectionLog::SyncCheckpoints() {
    if (m_unrecorded.empty())
        return;
    if (!m_connections.IsUnsaved()) {
        m_unrecorded.clear();
    } else {
        const bool bNoted = std::all_of(m_unrecorded.begin(), m_unrecorded.end(),
                                        [](const auto& content) { return content.bInMonths; });
        if (bNoted || m_months.IsUnsaved())
            return;
        for (CRunningCheckpoint::Content& content : m_unrecorded)
            content.bInMonths = true;
    }
    WriteCheckpoints(m_bCheckpointed ? &m_period.Info() : nullptr);
}

// ---- the running connection

void CConnectionLog::StartConnection(std::int64_t nReceived, std::int64_t nSent) {
    m_period.Start(nReceived, nSent);
    DropRunningCheckpoint();
}

// A running connection dropped unbooked is not to be booked after a crash either: "clog.run"
// keeps only what the data files lack.
void CConnectionLog::DropRunningCheckpoint() {
    if (std::exchange(m_bCheckpointed, false))
        WriteCheckpoints(nullptr);
}

void CConnectionLog::UpdateConnection(std::int64_t nReceived, std::int64_t nSent) {
    if (!m_period.IsRunning())
        return;
    // The time since the last sample was spent asleep: the period ends at that sample, and what
    // the counters moved meanwhile (a link that stayed up) belongs to the one that begins now.
    if (m_period.IsGapSinceUpdate())
        BookRunningPeriod(&CRunningPeriod::Cut);
    m_period.Update(nReceived, nSent);
    if (m_period.IsCheckpointDue())
        WriteCheckpoint();
}

// With checkpoints, the connection as booked goes to "clog.run" before either data file changes,
// so that a kill during the saving leaves the very record that "clog.dat" may already hold. One
// that cannot be written there takes the older checkpoint with it: that one would be booked
// again.
void CConnectionLog::EndConnection() {
    if (!m_period.IsRunning())
        return;
    if (m_period.IsIdleSinceCut()) {
        m_period.End();
        DropRunningCheckpoint();
        return;
    }
    BookRunningPeriod(&CRunningPeriod::End);
}

void CConnectionLog::CutConnectionAt(TIME64 at) {
    if (!m_period.IsRunning())
        return;
    m_period.EndTimeAt(at);
    BookRunningPeriod(&CRunningPeriod::Continue);
}

// What the running period holds goes into both data files; the period ends there or, at a gap,
// goes on as a new one.
void CConnectionLog::BookRunningPeriod(CConnectionInfo (CRunningPeriod::*finish)()) {
    const CConnectionInfo info = m_period.Info(); // a copy leaves the start readings behind
    const bool bCheckpointed = m_period.HasCheckpoints() && WriteCheckpoints(&info);
    if (!bCheckpointed && m_bCheckpointed)
        m_checkpoint.Remove();
    m_bCheckpointed = false;
    m_months.Book(info);
    RecordConnection(info);
    (m_period.*finish)();
    m_months.Save();
    if (bCheckpointed)
        SettleCheckpoint({{info, false}});
    else
        SyncCheckpoints();
}

// ---- recording

void CConnectionLog::RecordConnection(const CConnectionInfo& info) {
    m_connections.Queue(info);
    RewriteConnections();
}

// "clog.dat" read, the connections waiting in memory added, the old ones dropped, and the file
// and both reports written anew. A file that was not read in full is neither replaced nor shown:
// its connections would be lost.
void CConnectionLog::RewriteConnections() {
    // The list can run to megabytes; a tray program keeps none of them between recordings.
    CConnectionList list;
    if (m_connections.Load(list)) {
        m_reports.WriteReports(list, m_months);
        m_connections.Save(list);
    } else {
        m_reports.WriteMonthReport(m_months);
    }
}

// ---- what could not be saved

bool CConnectionLog::SaveUnsaved() {
    if (m_connections.IsUnsaved())
        RewriteConnections();
    if (m_months.IsUnsaved())
        m_months.Save();
    SyncCheckpoints();
    return !m_connections.IsUnsaved() && !m_months.IsUnsaved();
}

void CConnectionLog::ReportUnsaved() {
    if (m_connections.IsUnsaved())
        ReportDataFile(IDS_DATA_FILE_NOT_SAVED, m_connections.GetPath());
    if (m_months.IsUnsaved())
        ReportDataFile(IDS_DATA_FILE_NOT_SAVED, m_months.GetPath());
}

void CConnectionLog::ReportDataFile(unsigned nIDText, const std::string& path) const {
    fw::AppMessageBox(fw::FillPlaceholders(fw::LoadStringResource(nIDText), {path}),
                      MB_ICONEXCLAMATION);
}

// ---- the user's commands and the tooltip

void CConnectionLog::GetVolumeText(std::string& text) {
    const MONTHTOTAL& entry = m_months.Entry(Clock::LocalMonth(Clock::Now()));
    std::int64_t total = entry.nReceived + entry.nSent;
    if (IsConnected())
        total += m_period.Info().m_nReceived + m_period.Info().m_nSent;
    m_numberFormat.SetDecimals(2);
    text = FormatMegabytes(total, m_numberFormat);
}

std::int64_t CConnectionLog::GetUseSince(TIME64 periodStart, bool bReceivedOnly) {
    std::int64_t nBytes = m_connections.UseSince(periodStart, bReceivedOnly);
    const CConnectionInfo& running = m_period.Info();
    if (IsConnected() && running.m_timeStart >= periodStart)
        nBytes += running.GetUse(bReceivedOnly);
    return nBytes;
}

std::int64_t CConnectionLog::GetUseOf(TIME64 recordStart, bool bReceivedOnly) {
    const CConnectionInfo& running = m_period.Info();
    if (IsConnected() && running.m_timeStart == recordStart)
        return running.GetUse(bReceivedOnly);
    return m_connections.UseOf(recordStart, bReceivedOnly);
}

CConnectionList CConnectionLog::GetConnectionsSince(TIME64 from) const {
    CConnectionList list = m_connections.ConnectionsSince(from);
    if (IsConnected() && m_period.Info().m_timeStart >= from)
        list.push_back(m_period.Info());
    return list;
}

void CConnectionLog::SetSortOrder(bool bOldestFirst) {
    m_reports.SetOldestFirst(bOldestFirst);
    RewriteConnections();
    if (m_months.IsUnsaved())
        m_months.Save();
    SyncCheckpoints();
}

void CConnectionLog::ShowLog() {
    m_shellOpener(m_reports.FramePath());
}

// Held here only, for the whole clearing ("clog.dat" and all three pages in one go): every
// operation runs on the frame's thread, so no other one needs the lock.
void CConnectionLog::ClearConnections() {
    CCriticalSectionLock hold(m_lock);
    m_connections.Clear();
    m_reports.WriteEmptyPages(m_months);
    SyncCheckpoints();
}

void CConnectionLog::DeleteAll() {
    m_months.Clear();
    m_months.Save();
    ClearConnections();
}

std::size_t CConnectionLog::LongestFileName() {
    std::size_t longest = 0;
    for (const char* name : DATA_FILE_NAMES)
        longest = std::max(longest, CFileReplacement::TemporaryPathOf(name).size());
    for (const char* name : CReportWriter::PAGE_NAMES)
        longest = std::max(longest, std::string(name).size());
    return longest;
}
