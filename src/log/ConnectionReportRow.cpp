// The report row lives apart from the record so that the record's file image does not pull in
// the locale formatting.
#include "log/CConnectionInfo.h"
#include "log/CNumberFormat.h"
#include "log/ReportFormat.h"

std::string CConnectionInfo::FormatReportRow(const CNumberFormat& format) const {
    std::string row = "<tr>";
    row += FormatCell(FormatLocalTime(m_timeStart, "%x"));
    row += FormatCell(FormatLocalTime(m_timeStart, "%#X"));
    row += FormatCell(FormatDuration(m_nDuration));
    row += FormatCell(FormatMegabytes(m_nReceived, format));
    row += FormatCell(FormatMegabytes(m_nSent, format));
    row += FormatCell(FormatMegabytes(m_nReceived + m_nSent, format));
    row += "</tr>\n";
    return row;
}
