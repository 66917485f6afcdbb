// The report row lives apart from the record so that the record's file image does not pull in
// the locale formatting.
#include "log/CConnectionInfo.h"
#include "log/CReportRowFormatter.h"

std::string CConnectionInfo::FormatReportRow(const CNumberFormat& format) const {
    return std::string(CReportRowFormatter(format).FormatRow(*this));
}
