#pragma once
// Makes the rows of the connection report. One formatter serves a whole page: it writes every
// row into the same buffer, keeps the date text of the last day and learns the local time and
// the time texts of the page's days and hours, which spares the heap and the C library most of
// their work on a log of tens of thousands of connections.
#include "log/CConnectionInfo.h"
#include "log/CLocalTimeCache.h"
#include "log/CTimeOfDayText.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

class CNumberFormat;

class CReportRowFormatter {
public:
    // Megabytes are written in format, which must outlive the formatter.
    explicit CReportRowFormatter(const CNumberFormat& format);

    // The row of info with its line feed; valid until the next call.
    std::string_view FormatRow(const CConnectionInfo& info);

private:
    void PutDateAndTime(TIME64 start);
    const std::string& DateText(const std::tm& local);
    void PutDurationCell(std::int32_t seconds);
    void PutMegabyteCell(std::int64_t bytes);
    void PutCell(const char* text, std::size_t length);
    void PutCell(const std::string& text) { PutCell(text.data(), text.size()); }
    template <std::size_t N> void PutLiteral(const char (&literal)[N]);
    // Where the next count characters go; the buffer grows when they would not fit.
    char* Room(std::size_t count);

    const CNumberFormat& m_format;
    CLocalTimeCache m_localTime;
    CTimeOfDayText m_timeText;
    std::vector<char> m_row;
    std::size_t m_nLength = 0;
    std::string m_strDate;
    int m_nDateYear = -1;
    int m_nDateDay = -1;
};
