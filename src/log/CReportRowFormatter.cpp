#include "log/CReportRowFormatter.h"

#include "framework/CTextFile.h"
#include "log/CNumberFormat.h"
#include "log/CMegabyteText.h"
#include "log/ReportFormat.h"
#include "log/TwoDigits.h"

#include <cstring>

namespace {

constexpr char ROW_START[] = "<tr>";
constexpr char ROW_END[] = "</tr>";
constexpr std::uint32_t SECONDS_PER_HOUR = 3600;

// The C library's time texts are never longer.
constexpr std::size_t LONGEST_TIME_TEXT = 127;
constexpr std::size_t LONGEST_HOUR_START =
    sizeof ROW_START - 1 + 2 * (sizeof CELL_START - 1 + LONGEST_TIME_TEXT + sizeof CELL_END - 1) +
    sizeof CELL_START - 1;
// "596523:14:07 ", the longest duration in 32 bits.
constexpr std::size_t LONGEST_DURATION = 13;
// Copies in whole words may reach this far past the end of their text.
constexpr std::size_t WORD_SLACK = 3;

// The length of a literal is known when compiling, which turns the copy into a few moves.
template <std::size_t N> char* PutLiteralAt(char* out, const char (&literal)[N]) {
    std::memcpy(out, literal, N - 1);
    return out + N - 1;
}

// Copies a text of a few dozen bytes four at a time. The copy may reach up to three bytes past
// the end of both texts, which their room allows: the C library's memcpy is a call into another
// module, which costs more than the copy.
char* CopyWords(char* out, const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; i += 4)
        std::memcpy(out + i, text + i, 4);
    return out + length;
}

// Copies the short texts of a row byte by byte, for the same reason.
char* CopyText(char* out, const char* text, std::size_t length) {
    while (length-- > 0)
        *out++ = *text++;
    return out;
}

// Writes value with at least two digits, as "%02d" does.
char* PutTwoOrMoreDigits(char* out, std::uint32_t value) {
    if (value < 100)
        return PutTwoDigits(out, value);
    char digits[12];
    char* const end = digits + sizeof digits;
    char* begin = end;
    for (; value > 0; value /= 10)
        *--begin = static_cast<char>('0' + value % 10);
    return CopyText(out, begin, static_cast<std::size_t>(end - begin));
}

// The text of FormatDuration for a duration of 0 or more.
char* PutDuration(char* out, std::uint32_t seconds) {
    const std::uint32_t withinHour = seconds % SECONDS_PER_HOUR;
    out = PutTwoOrMoreDigits(out, seconds / SECONDS_PER_HOUR);
    *out++ = ':';
    out = PutTwoDigits(out, withinHour / 60);
    *out++ = ':';
    out = PutTwoDigits(out, withinHour % 60);
    *out++ = ' ';
    return out;
}

bool HasLineFeed(const std::string& text) {
    return text.find('\n') != std::string::npos;
}

// Received and sent as the report adds them; the sum of values no real connection reaches
// wraps around instead of being undefined.
std::int64_t Total(const CConnectionInfo& info) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(info.m_nReceived) +
                                     static_cast<std::uint64_t>(info.m_nSent));
}

} // namespace

CReportRowFormatter::CReportRowFormatter(const CNumberFormat& format)
    : m_format(format), m_megabytes(format),
      m_bFastMegabytes(!HasLineFeed(format.GetDecimalSeparator()) &&
                       !HasLineFeed(format.GetThousandSeparator())),
      m_nFastRoom(LONGEST_HOUR_START + WORD_SLACK + LONGEST_DURATION + sizeof CELL_END - 1 +
                  3 * (sizeof CELL_START - 1 + m_megabytes.GetRoom() + sizeof CELL_END - 1) +
                  sizeof ROW_END - 1 + 2),
      m_timeText("%#X") {}

std::string_view CReportRowFormatter::FormatRow(const CConnectionInfo& info) {
    m_nLength = 0;
    if (char* end = PutFastRow(Room(m_nFastRoom), info)) {
        *end++ = '\n';
        m_nLength = static_cast<std::size_t>(end - m_row.data());
    } else {
        FormatSlowRow(info);
    }
    return std::string_view(m_row.data(), m_nLength);
}

void CReportRowFormatter::WriteRow(const CConnectionInfo& info, CTextFile& file) {
    if (m_nFastRoom <= file.GetBufferSize()) {
        if (char* end = PutFastRow(file.ReserveRaw(m_nFastRoom), info)) {
            end[0] = '\r';
            end[1] = '\n';
            file.CommitRaw(end + 2);
            return;
        }
    }
    FormatSlowRow(info);
    file.Write(m_row.data(), static_cast<unsigned>(m_nLength));
}

// ---- rows from the learnt start of their hour

char* CReportRowFormatter::PutFastRow(char* out, const CConnectionInfo& info) {
    std::uint32_t localSeconds = 0;
    if (!m_bFastMegabytes || info.m_nDuration < 0 ||
        !m_localTime.ToLocalSeconds(info.m_timeStart, localSeconds))
        return nullptr;
    const HourStart* hour = FindHourStart(info.m_timeStart, localSeconds);
    if (!hour)
        return nullptr;
    char* const row = out;
    out = CopyWords(out, hour->strText.data(), hour->nLength);
    const std::uint32_t withinHour = localSeconds % SECONDS_PER_HOUR;
    PutTwoDigits(row + hour->nMinute, withinHour / 60);
    PutTwoDigits(row + hour->nSecond, withinHour % 60);
    out = PutDuration(out, static_cast<std::uint32_t>(info.m_nDuration));
    out = PutLiteralAt(out, CELL_END);
    out = PutFastMegabyteCell(out, info.m_nReceived);
    out = PutFastMegabyteCell(out, info.m_nSent);
    if (!out)
        return nullptr;
    // Both counts are in range here, so their sum cannot overflow.
    out = PutFastMegabyteCell(out, info.m_nReceived + info.m_nSent);
    return out ? PutLiteralAt(out, ROW_END) : nullptr;
}

// Takes nullptr for a row already given up, so that the cells can follow one another.
char* CReportRowFormatter::PutFastMegabyteCell(char* out, std::int64_t bytes) const {
    if (!out)
        return nullptr;
    out = m_megabytes.Put(PutLiteralAt(out, CELL_START), bytes);
    return out ? PutLiteralAt(out, CELL_END) : nullptr;
}

const CReportRowFormatter::HourStart*
CReportRowFormatter::FindHourStart(TIME64 start, std::uint32_t localSeconds) {
    const std::uint32_t hour = localSeconds / SECONDS_PER_HOUR;
    if (hour != m_hourStart.nHour || m_localTime.GetDaylight() != m_hourStart.nDaylight) {
        m_hourStart.nHour = hour;
        m_hourStart.nDaylight = m_localTime.GetDaylight();
        LearnHourStart(start);
    }
    return m_hourStart.bUsable ? &m_hourStart : nullptr;
}

// The row up to the duration's digits, from the texts of the hour's first row. Texts with a
// line feed are left to the slow way, which the text file turns into CR LF.
void CReportRowFormatter::LearnHourStart(TIME64 start) {
    HourStart& hour = m_hourStart;
    hour.bUsable = false;
    std::tm local{};
    if (!m_localTime.Convert(start, local))
        return;
    const CTimeOfDayText::HourPattern* pattern = m_timeText.FindPattern(local);
    if (!pattern)
        return;
    const std::string& date = DateText(local);
    const std::string& time = pattern->strText;
    if (date.size() > LONGEST_TIME_TEXT || time.size() > LONGEST_TIME_TEXT || HasLineFeed(date) ||
        HasLineFeed(time))
        return;
    std::string& text = hour.strText;
    text.assign(ROW_START);
    AppendCell(text, date.data(), date.size());
    text += CELL_START;
    hour.nMinute = text.size() + pattern->nMinute;
    hour.nSecond = text.size() + pattern->nSecond;
    text += time;
    text += CELL_END;
    text += CELL_START;
    hour.nLength = text.size();
    // What a copy in whole words reads past the end.
    text.append(WORD_SLACK, '\0');
    hour.bUsable = true;
}

// ---- rows from the single pieces

void CReportRowFormatter::FormatSlowRow(const CConnectionInfo& info) {
    m_nLength = 0;
    PutLiteral(ROW_START);
    PutDateAndTime(info.m_timeStart);
    PutDurationCell(info.m_nDuration);
    PutMegabyteCell(info.m_nReceived);
    PutMegabyteCell(info.m_nSent);
    PutMegabyteCell(Total(info));
    PutLiteral(ROW_END);
    PutLiteral("\n");
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

void CReportRowFormatter::PutDurationCell(std::int32_t seconds) {
    if (seconds < 0) {
        PutCell(FormatDuration(seconds));
        return;
    }
    char text[LONGEST_DURATION];
    const char* end = PutDuration(text, static_cast<std::uint32_t>(seconds));
    PutCell(text, static_cast<std::size_t>(end - text));
}

void CReportRowFormatter::PutMegabyteCell(std::int64_t bytes) {
    char* const cell = Room(sizeof CELL_START - 1 + m_megabytes.GetRoom() + sizeof CELL_END - 1);
    char* const end = m_megabytes.Put(cell + sizeof CELL_START - 1, bytes);
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
    out = PutLiteralAt(out, CELL_START);
    out = CopyText(out, text, length);
    PutLiteralAt(out, CELL_END);
    m_nLength += sizeof CELL_START - 1 + length + sizeof CELL_END - 1;
}

template <std::size_t N> void CReportRowFormatter::PutLiteral(const char (&literal)[N]) {
    PutLiteralAt(Room(N - 1), literal);
    m_nLength += N - 1;
}

// The buffer starts empty and grows with the first rows to the longest of the page.
char* CReportRowFormatter::Room(std::size_t count) {
    if (m_row.size() - m_nLength < count)
        m_row.resize(2 * (m_nLength + count));
    return m_row.data() + m_nLength;
}
