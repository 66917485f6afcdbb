#include "log/CMonthTotals.h"

#include "framework/CException.h"
#include "framework/FileInUse.h"
#include "log/DataFileAccess.h"
#include "log/LogAge.h"
#include "log/MonthLog.h"
#include "log/ReportFormat.h"

#include <windows.h>

namespace {

void ClearTotals(MONTHTOTAL& entry) {
    entry.nDuration = 0;
    entry.nReceived = 0;
    entry.nSent = 0;
}

} // namespace

CMonthTotals::Start CMonthTotals::Load(TIME64& saveTime) {
    saveTime = 0;
    const FileState state = ReadWithPatience(m_aMonth, saveTime);
    if (state == FileState::missing)
        return Start::missing;
    if (state == FileState::read && AgeInDays(saveTime, Clock::Now()) > LOG_KEEP_DAYS)
        return Start::anew;
    if (state == FileState::unreadable) {
        m_aMonth = MonthTable{};
        m_bFileUnread = true;
        return Start::unreadable;
    }
    return state == FileState::read ? Start::read : Start::timeless;
}

void CMonthTotals::ClearOldMonths() {
    ClearOldMonths(m_aMonth, Clock::LocalMonth(Clock::Now()));
}

// A file that cannot be read for the moment is given the same patience as one being replaced.
CMonthTotals::FileState CMonthTotals::ReadWithPatience(MonthTable& table, TIME64& saveTime) const {
    const DWORD start = GetTickCount();
    for (;;) {
        const FileState state = TryRead(table, saveTime);
        if (state != FileState::unreadable || GetTickCount() - start >= fw::FILE_IN_USE_PATIENCE_MS)
            return state;
        Sleep(fw::FILE_IN_USE_RETRY_MS);
    }
}

CMonthTotals::FileState CMonthTotals::TryRead(MonthTable& table, TIME64& saveTime) const {
    table = MonthTable{};
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFileForReading(m_strPath, m_opener, &error);
    if (!file)
        return IsMissingFile(error) ? FileState::missing : FileState::unreadable;
    try {
        const bool bTimeStored = file->GetLength() >= 4;
        saveTime = ReadMonthLog(*file, table);
        return bTimeStored ? FileState::read : FileState::timeless;
    } catch (const CException&) {
        table = MonthTable{};
        return FileState::unreadable;
    }
}

// Until "mlog.dat" has been read, the table holds only what was booked since start; once the
// file can be read, its totals are taken in as a start would have, with the bookings added.
bool CMonthTotals::CatchUpWithFile() {
    if (!m_bFileUnread)
        return true;
    MonthTable stored{};
    TIME64 saveTime = 0;
    const FileState state = TryRead(stored, saveTime);
    if (state == FileState::unreadable)
        return false;
    const TIME64 now = Clock::Now();
    if (state == FileState::read && AgeInDays(saveTime, now) > LOG_KEEP_DAYS)
        stored = MonthTable{};
    ClearOldMonths(stored, Clock::LocalMonth(now));
    for (int m = 0; m < MONTH_ENTRIES; ++m) {
        stored[m].nDuration += m_aMonth[m].nDuration;
        stored[m].nReceived += m_aMonth[m].nReceived;
        stored[m].nSent += m_aMonth[m].nSent;
    }
    m_aMonth = stored;
    m_bFileUnread = false;
    return true;
}

void CMonthTotals::ClearOldMonths(MonthTable& table, int month) {
    for (int k = 1; k <= 8; ++k)
        ClearTotals(table[(month + k) % MONTH_ENTRIES]);
}

void CMonthTotals::Book(const CConnectionInfo& info) {
    const int month = info.GetMonth();
    if (month < 1 || month > 12)
        return;
    MONTHTOTAL& entry = m_aMonth[month];
    entry.nDuration += info.m_nDuration;
    entry.nReceived += info.m_nReceived;
    entry.nSent += info.m_nSent;
    m_bUnsaved = true;
}

bool CMonthTotals::Save() {
    m_bUnsaved = true;
    if (!CatchUpWithFile())
        return false;
    CFileReplacement replacement(m_strPath, m_opener);
    if (!replacement.Open())
        return false;
    try {
        WriteMonthLog(replacement.GetFile(), Clock::Now(), m_aMonth);
        replacement.Commit();
        m_bUnsaved = false;
    } catch (const CException& e) {
        ReportUnlessInUse(e);
    }
    return !m_bUnsaved;
}

void CMonthTotals::Clear() {
    m_aMonth = MonthTable{};
    m_bFileUnread = false;
}

std::string CMonthTotals::FormatRow(int month, int year, CNumberFormat& format) const {
    const MONTHTOTAL& entry = m_aMonth[month];
    std::string row = "<tr>";
    row += FormatCell(FormatMonthName(month, year));
    row += FormatCell(FormatDuration(entry.nDuration));
    row += FormatCell(FormatMegabytes(entry.nReceived, format));
    row += FormatCell(FormatMegabytes(entry.nSent, format));
    row += FormatCell(FormatMegabytes(entry.nReceived + entry.nSent, format));
    row += "</tr>\n";
    return row;
}
