#pragma once
// The log's three report pages in its folder: "frame.htm", the frameset; "clog.htm", a row per
// connection in the order the user chose; "mlog.htm", the current month and the two before it.
#include "framework/CFileLocation.h"
#include "log/CConnectionList.h"
#include "log/CNumberFormat.h"

#include <cstdint>
#include <optional>
#include <string>

class CMonthTotals;
class CTextFile;

class CReportWriter {
public:
    CReportWriter();

    void SetFolder(const std::string& folder);
    std::string FramePath() const { return m_aPage[FRAME_HTM].GetPath(); }
    // Row order of "clog.htm".
    void SetOldestFirst(bool bOldestFirst) { m_bOldestFirst = bOldestFirst; }

    // The pages that are not there, as a log without connections shows them.
    void WriteMissingPages(const CMonthTotals& months);
    // All three pages, as a log without connections shows them.
    void WriteEmptyPages(const CMonthTotals& months);
    // "clog.htm" with a row per connection of the list, dropping from the list those that have
    // grown too old, then "mlog.htm". A file error is reported and stops the writing: the
    // connections not reached stay, and "mlog.htm" is not written.
    void WriteReports(CConnectionList& list, const CMonthTotals& months);
    // "mlog.htm". File errors are reported.
    void WriteMonthReport(const CMonthTotals& months) { WriteMonthReport(months, MonthPath()); }
    void WriteMonthReport(const CMonthTotals& months, const std::string& path);

    static constexpr int PAGE_COUNT = 3;
    static const char* const PAGE_NAMES[PAGE_COUNT];

private:
    enum PageId { FRAME_HTM, MLOG_HTM, CLOG_HTM };

    std::string MonthPath() const { return m_aPage[MLOG_HTM].GetPath(); }
    std::string ConnectionPath() const { return m_aPage[CLOG_HTM].GetPath(); }
    bool WriteConnectionRows(CConnectionList& list, std::optional<std::uint64_t> headEnd);
    void WriteRowsAndFoot(CConnectionList& list, CTextFile& file);

    CFileLocation m_aPage[PAGE_COUNT];
    CNumberFormat m_numberFormat;
    bool m_bOldestFirst = true;
};
