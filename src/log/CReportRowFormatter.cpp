#include "log/CReportRowFormatter.h"

#include "log/CNumberFormat.h"
#include "log/MegabyteText.h"
#include "log/ReportFormat.h"

#include <cstring>

namespace {

constexpr char ROW_START[] = "<tr>";
constexpr char ROW_END[] = "</tr>\n";

// Copies the short texts of a row in place: the C library's memcpy is a call into another
// module, which costs more than copying a cell's few bytes.
char* CopyText(char* out, const char* text, std::size_t length) {
    while (length-- > 0)
        *out++ = *text++;
    return out;
}

// Writes value with at least two digits, as "%02d" does for a value of 0 or more.
char* PutTwoOrMoreDigits(char* out, std::int32_t value) {
    if (value < 100) {
        *out++ = static_cast<char>('0' + value / 10);
        *out++ = static_cast<char>('0' + value % 10);
        return out;
    }
    char digits[12];
    char* const end = digits + sizeof digits;
    char* begin = end;
    for (; value > 0; value /= 10)
        *--begin = static_cast<char>('0' + value % 10);
    return CopyText(out, begin, static_cast<std::size_t>(end - begin));
}

} // namespace

CReportRowFormatter::CReportRowFormatter(const CNumberFormat& format)
    : m_format(format), m_timeText("%#X") {}

std::string_view CReportRowFormatter::FormatRow(const CConnectionInfo& info) {
    m_nLength = 0;
    PutLiteral(ROW_START);
    PutDateAndTime(info.m_timeStart);
    PutDurationCell(info.m_nDuration);
    PutMegabyteCell(info.m_nReceived);
    PutMegabyteCell(info.m_nSent);
    PutMegabyteCell(info.m_nReceived + info.m_nSent);
    PutLiteral(ROW_END);
    return std::string_view(m_row.data(), m_nLength);
}

// A start that cannot be converted to local time leaves both cells empty.
void CReportRowFormatter::PutDateAndTime(TIME64 start) {
    std::tm local{};
    if (!m_localTime.Convert(start, local)) {
        PutLiteral(EMPTY_CELL);
        PutLiteral(EMPTY_CELL);
        return;
    }
    PutCell(DateText(local));
    PutCell(m_timeText.Text(local));
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

// The text of FormatDuration, without its formatting call for the durations that occur.
void CReportRowFormatter::PutDurationCell(std::int32_t seconds) {
    if (seconds < 0) {
        PutCell(FormatDuration(seconds));
        return;
    }
    char text[40];
    char* out = PutTwoOrMoreDigits(text, seconds / 3600);
    *out++ = ':';
    out = PutTwoOrMoreDigits(out, seconds / 60 % 60);
    *out++ = ':';
    out = PutTwoOrMoreDigits(out, seconds % 60);
    *out++ = ' ';
    PutCell(text, static_cast<std::size_t>(out - text));
}

void CReportRowFormatter::PutMegabyteCell(std::int64_t bytes) {
    const std::size_t room = MegabyteTextRoom(m_format);
    char* const cell = Room(sizeof CELL_START - 1 + room + sizeof CELL_END - 1);
    char* const text = cell + sizeof CELL_START - 1;
    char* const end = PutFastMegabytes(text, bytes, m_format);
    if (!end) {
        PutCell(FormatMegabytes(bytes, m_format));
        return;
    }
    // The fast text is never empty, so the cell is never the empty one.
    std::memcpy(cell, CELL_START, sizeof CELL_START - 1);
    std::memcpy(end, CELL_END, sizeof CELL_END - 1);
    m_nLength = static_cast<std::size_t>(end - m_row.data()) + sizeof CELL_END - 1;
}

void CReportRowFormatter::PutCell(const char* text, std::size_t length) {
    if (length == 0) {
        PutLiteral(EMPTY_CELL);
        return;
    }
    char* out = Room(sizeof CELL_START - 1 + length + sizeof CELL_END - 1);
    std::memcpy(out, CELL_START, sizeof CELL_START - 1);
    out = CopyText(out + sizeof CELL_START - 1, text, length);
    std::memcpy(out, CELL_END, sizeof CELL_END - 1);
    m_nLength += sizeof CELL_START - 1 + length + sizeof CELL_END - 1;
}

// The length of a literal is known when compiling, which turns the copy into a few moves.
template <std::size_t N> void CReportRowFormatter::PutLiteral(const char (&literal)[N]) {
    std::memcpy(Room(N - 1), literal, N - 1);
    m_nLength += N - 1;
}

// The buffer starts empty and grows with the first rows to the longest of the page.
char* CReportRowFormatter::Room(std::size_t count) {
    if (m_row.size() - m_nLength < count)
        m_row.resize(2 * (m_nLength + count));
    return m_row.data() + m_nLength;
}
