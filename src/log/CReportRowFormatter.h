#pragma once
// Makes the rows of the connection report. One formatter serves a whole page. Within one hour
// of local time the row starts the same up to the minute and second digits (the row's start,
// the date cell, the time cell and the start of the duration cell), so that text is learnt
// once per hour and copied, and the rest of the row is put together from integers. Rows the
// learnt text cannot serve (days with a clock change, hours whose time text keeps no pattern,
// values at the ends of their range) are made from the C library's pieces, the same bytes the
// slow way. On a log of tens of thousands of connections this spares the heap and the C library
// most of their work.
#include "log/CConnectionInfo.h"
#include "log/CLocalTimeCache.h"
#include "log/CMegabyteText.h"
#include "log/CTimeOfDayText.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

class CNumberFormat;
class CTextFile;

class CReportRowFormatter {
public:
    // Megabytes are written in format, which must outlive the formatter and keep its settings.
    explicit CReportRowFormatter(const CNumberFormat& format);

    // The row of info with its line feed; valid until the next call.
    std::string_view FormatRow(const CConnectionInfo& info);

    // Writes the row of info to file as a text file writes FormatRow's text. Most rows go
    // straight into the file's buffer.
    void WriteRow(const CConnectionInfo& info, CTextFile& file);

private:
    // The learnt start of the rows of one hour.
    struct HourStart {
        std::uint32_t nHour = 0xFFFFFFFF; // local hours since 1970
        int nDaylight = -1;
        bool bUsable = false;
        std::string strText;     // the text, and a few bytes more for copies in whole words
        std::size_t nLength = 0; // of the text
        std::size_t nMinute = 0; // where the two minute digits are in strText
        std::size_t nSecond = 0;
    };

    // Writes the row without its line end at out, which has m_nFastRoom characters of room,
    // and returns its end; nullptr where the row has to be made the slow way.
    char* PutFastRow(char* out, const CConnectionInfo& info);
    const HourStart* FindHourStart(TIME64 start, std::uint32_t localSeconds);
    void LearnHourStart(TIME64 start);
    char* PutFastMegabyteCell(char* out, std::int64_t bytes) const;

    void FormatSlowRow(const CConnectionInfo& info);
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
    CMegabyteText m_megabytes;
    bool m_bFastMegabytes;   // the fast megabyte texts can go to the file as they are
    std::size_t m_nFastRoom; // the longest row PutFastRow writes
    CLocalTimeCache m_localTime;
    CTimeOfDayText m_timeText;
    HourStart m_hourStart;
    std::vector<char> m_row;
    std::size_t m_nLength = 0;
    std::string m_strDate;
    int m_nDateYear = -1;
    int m_nDateDay = -1;
};
