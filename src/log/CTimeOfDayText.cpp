#include "log/CTimeOfDayText.h"

#include "log/ReportFormat.h"
#include "log/TwoDigits.h"

namespace {

// Sample minutes and seconds: digits that cannot be taken for one another or for an hour.
constexpr int LEARN_MINUTE = 37;
constexpr int LEARN_SECOND = 48;

void PutTwoDigits(std::string& text, std::size_t at, int value) {
    ::PutTwoDigits(&text[at], static_cast<std::uint32_t>(value));
}

bool IsTimeOfDay(const std::tm& local) {
    return local.tm_hour >= 0 && local.tm_hour < 24 && local.tm_min >= 0 && local.tm_min < 60 &&
           local.tm_sec >= 0 && local.tm_sec < 60;
}

} // namespace

CTimeOfDayText::CTimeOfDayText(const char* format) : m_pszFormat(format) {}

const std::string& CTimeOfDayText::Text(const std::tm& local) {
    HourPattern* pattern = PatternOf(local);
    if (!pattern) {
        m_strText.clear();
        AppendTimeText(m_strText, local, m_pszFormat);
        return m_strText;
    }
    // The pattern's own text takes the digits: it keeps its shape, only they change.
    PutTwoDigits(pattern->strText, pattern->nMinute, local.tm_min);
    PutTwoDigits(pattern->strText, pattern->nSecond, local.tm_sec);
    return pattern->strText;
}

CTimeOfDayText::HourPattern* CTimeOfDayText::PatternOf(const std::tm& local) {
    if (!IsTimeOfDay(local))
        return nullptr;
    HourPattern& pattern = m_aHour[local.tm_isdst != 0][local.tm_hour];
    if (!pattern.bLearnt)
        Learn(pattern, local);
    return pattern.bUsable ? &pattern : nullptr;
}

void CTimeOfDayText::Learn(HourPattern& pattern, const std::tm& local) const {
    pattern.bLearnt = true;
    pattern.strText = Strftime(local, LEARN_MINUTE, LEARN_SECOND);
    const std::string& text = pattern.strText;
    pattern.nMinute = text.find("37");
    pattern.nSecond = text.find("48");
    if (pattern.nMinute == std::string::npos || pattern.nSecond == std::string::npos ||
        text.find("37", pattern.nMinute + 1) != std::string::npos ||
        text.find("48", pattern.nSecond + 1) != std::string::npos)
        return;
    // Single digits and the ends of the range must come out as the pattern says.
    for (const auto& [minute, second] : {std::pair{5, 9}, std::pair{0, 59}, std::pair{59, 0}}) {
        std::string expected = text;
        PutTwoDigits(expected, pattern.nMinute, minute);
        PutTwoDigits(expected, pattern.nSecond, second);
        if (Strftime(local, minute, second) != expected)
            return;
    }
    pattern.bUsable = true;
}

std::string CTimeOfDayText::Strftime(const std::tm& local, int minute, int second) const {
    std::tm sample = local;
    sample.tm_min = minute;
    sample.tm_sec = second;
    std::string text;
    AppendTimeText(text, sample, m_pszFormat);
    return text;
}
