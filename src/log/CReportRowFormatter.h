#pragma once
// Makes the rows of the connection report. One formatter serves a whole page: it reuses its
// buffers and keeps the date text of the last day, which spares the heap and the C library
// most of their work on a log of tens of thousands of connections.
#include "log/CConnectionInfo.h"

#include <ctime>
#include <string>

class CNumberFormat;

class CReportRowFormatter {
public:
    // Megabytes are written in format, which must outlive the formatter.
    explicit CReportRowFormatter(const CNumberFormat& format);

    // The row of info with its line feed; valid until the next call.
    const std::string& FormatRow(const CConnectionInfo& info);

private:
    void AppendDateAndTime(TIME64 start);
    const std::string& DateText(const std::tm& local);
    void AppendMegabyteCell(std::int64_t bytes);
    void AppendTextCell();

    const CNumberFormat& m_format;
    std::string m_strRow;
    std::string m_strCell;
    std::string m_strDate;
    int m_nDateYear = -1;
    int m_nDateDay = -1;
};
