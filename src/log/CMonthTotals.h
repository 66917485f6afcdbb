#pragma once
// The month totals and their file "mlog.dat": the traffic of each calendar month of the last
// year, booked by the month a connection began in.
//
// Only a file that is gone, or one saved too long ago, starts the totals anew: a file that is
// there but cannot be read says nothing about its age. Until it can be read, the table holds
// only what was booked since the start, and the file is kept as it is; at the first save after
// it has become readable, its totals are taken in as a start would have taken them, with the
// bookings added. A table the file could not take (held by another program) stays unsaved and
// is written at the next save.
#include "framework/CFileReplacement.h"
#include "log/CConnectionInfo.h"
#include "log/CNumberFormat.h"
#include "log/Clock.h"
#include "log/MONTHTOTAL.h"

#include <string>

class CMonthTotals {
public:
    // What reading "mlog.dat" at the start found.
    enum class Start {
        anew,       // saved more than LOG_KEEP_DAYS ago: the log starts anew
        missing,    // not there: the totals start empty
        unreadable, // there but unreadable: the totals start empty, the file stays
        timeless,   // too short to hold its save time: the totals read are kept
        read,       // read with its save time
    };

    void SetPath(const std::string& path) { m_strPath = path; }
    const std::string& GetPath() const { return m_strPath; }
    // Opens "mlog.dat" for reading and its temporary file for writing; tests simulate a full
    // disk or a failing read.
    void SetFileOpener(CFileReplacement::FileOpener opener) { m_opener = std::move(opener); }

    // Reads the file at the start; saveTime is its save time where it was read. A start anew is
    // the caller's to make, with Clear.
    Start Load(TIME64& saveTime);
    // Keeps the current month and the months just before it: those after it in the table hold
    // last year's traffic, which would otherwise be added to.
    void ClearOldMonths();
    // The whole connection counts for the month it began in; the table is unsaved then.
    void Book(const CConnectionInfo& info);
    // Writes the table; true when "mlog.dat" holds it now. A file that another program holds
    // stays as it is without a word.
    bool Save();
    // Zeroes every month; what the file held is to go, readable or not.
    void Clear();

    bool IsUnsaved() const { return m_bUnsaved; }
    const MONTHTOTAL& Entry(int month) const { return m_aMonth[month]; }
    // The row of "mlog.htm" for a month: name, time online, received, sent, both.
    std::string FormatRow(int month, int year, CNumberFormat& format) const;

private:
    enum class FileState { missing, unreadable, timeless, read };

    FileState ReadWithPatience(MonthTable& table, TIME64& saveTime) const;
    FileState TryRead(MonthTable& table, TIME64& saveTime) const;
    bool CatchUpWithFile();
    static void ClearOldMonths(MonthTable& table, int month);

    std::string m_strPath;
    CFileReplacement::FileOpener m_opener;
    MonthTable m_aMonth{};
    bool m_bUnsaved = false;    // m_aMonth holds bookings that "mlog.dat" lacks
    bool m_bFileUnread = false; // "mlog.dat" could not be read: m_aMonth holds only the
                                // bookings since start, and the file is kept as it is
};
