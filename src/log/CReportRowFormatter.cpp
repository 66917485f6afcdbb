#include "log/CReportRowFormatter.h"

#include "log/MegabyteText.h"
#include "log/ReportFormat.h"

CReportRowFormatter::CReportRowFormatter(const CNumberFormat& format) : m_format(format) {}

const std::string& CReportRowFormatter::FormatRow(const CConnectionInfo& info) {
    m_strRow = "<tr>";
    AppendDateAndTime(info.m_timeStart);
    m_strCell = FormatDuration(info.m_nDuration);
    AppendTextCell();
    AppendMegabyteCell(info.m_nReceived);
    AppendMegabyteCell(info.m_nSent);
    AppendMegabyteCell(info.m_nReceived + info.m_nSent);
    m_strRow += "</tr>\n";
    return m_strRow;
}

// A start that cannot be converted to local time leaves both cells empty.
void CReportRowFormatter::AppendDateAndTime(TIME64 start) {
    std::tm local{};
    const bool converted = ToLocalTime(start, local);
    m_strCell.clear();
    if (converted)
        m_strCell = DateText(local);
    AppendTextCell();
    m_strCell.clear();
    if (converted)
        AppendTimeText(m_strCell, local, "%#X");
    AppendTextCell();
}

// The user's short date of a local time; the same for every start of one day.
const std::string& CReportRowFormatter::DateText(const std::tm& local) {
    if (local.tm_year != m_nDateYear || local.tm_yday != m_nDateDay) {
        m_strDate.clear();
        AppendTimeText(m_strDate, local, "%x");
        m_nDateYear = local.tm_year;
        m_nDateDay = local.tm_yday;
    }
    return m_strDate;
}

void CReportRowFormatter::AppendMegabyteCell(std::int64_t bytes) {
    m_strCell.clear();
    AppendMegabytes(m_strCell, bytes, m_format);
    AppendTextCell();
}

void CReportRowFormatter::AppendTextCell() {
    AppendCell(m_strRow, m_strCell.data(), m_strCell.size());
}
