#include "log/CReportWriter.h"

#include "framework/CMemoryException.h"
#include "framework/CTextFile.h"
#include "log/CMonthTotals.h"
#include "log/CReportRowFormatter.h"
#include "log/Clock.h"
#include "log/ConnectionWalk.h"
#include "log/LogAge.h"
#include "log/ReportPages.h"
#include "resource.h"

#include <ctime>
#include <new>

const char* const CReportWriter::PAGE_NAMES[PAGE_COUNT] = {"frame.htm", "mlog.htm", "clog.htm"};

CReportWriter::CReportWriter() : m_numberFormat(-1) {}

void CReportWriter::SetFolder(const std::string& folder) {
    for (int page = 0; page < PAGE_COUNT; ++page) {
        m_aPage[page].SetFolder(folder);
        m_aPage[page].SetFileName(PAGE_NAMES[page]);
    }
}

void CReportWriter::WriteMissingPages(const CMonthTotals& months) {
    if (!m_aPage[FRAME_HTM].Exists())
        WriteFrameReport(FramePath());
    if (!m_aPage[CLOG_HTM].Exists())
        WriteConnectionReportShell(ConnectionPath(), true);
    if (!m_aPage[MLOG_HTM].Exists())
        WriteMonthReport(months);
}

void CReportWriter::WriteEmptyPages(const CMonthTotals& months) {
    WriteFrameReport(FramePath());
    WriteConnectionReportShell(ConnectionPath(), true);
    WriteMonthReport(months);
}

void CReportWriter::WriteReports(CConnectionList& list, const CMonthTotals& months) {
    const std::optional<std::uint64_t> headEnd = WriteConnectionReportHead(ConnectionPath());
    if (WriteConnectionRows(list, headEnd))
        WriteMonthReport(months);
}

// The rows and the foot go after the head of "clog.htm", and the page ends there. Without a
// known head the rows go to the end of the file. On a file error the page ends where the writing
// stopped.
bool CReportWriter::WriteConnectionRows(CConnectionList& list,
                                        std::optional<std::uint64_t> headEnd) {
    CTextFile file;
    CFileException openError;
    if (!file.Open(ConnectionPath(),
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
        WriteRowsAndFoot(list, file);
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

void CReportWriter::WriteRowsAndFoot(CConnectionList& list, CTextFile& file) {
    m_numberFormat.SetDecimals(2);
    CReportRowFormatter rows(m_numberFormat);
    const TIME64 now = Clock::Now();
    const auto tooOld = [now](const CConnectionInfo& info) {
        return AgeInDays(info.m_timeStart, now) >= LOG_KEEP_DAYS;
    };
    WalkConnectionList(list, m_bOldestFirst, tooOld,
                       [&](const CConnectionInfo& info) { rows.WriteRow(info, file); });
    WriteTemplate(file, IDR_CLOG_FOOT);
}

void CReportWriter::WriteMonthReport(const CMonthTotals& months, const std::string& path) {
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
                file.WriteString(months.FormatRow(shown, local.tm_year + 1900, m_numberFormat));
            }
        }
        WriteTemplate(file, IDR_MLOG_FOOT);
        file.Close();
    } catch (const CException& e) {
        e.ReportError();
    }
}
