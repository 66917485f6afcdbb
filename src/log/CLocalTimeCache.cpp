#include "log/CLocalTimeCache.h"

#include "log/ReportFormat.h"

namespace {

// Days since 1970-01-01 of a date from 1970 on (month 1 to 12).
std::int32_t DaysFromCivil(std::int32_t year, int month, int day) {
    year -= month <= 2;
    const std::int32_t era = year / 400; // years from 1970 on are never negative
    const std::int32_t yearOfEra = year - era * 400;
    const std::int32_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int32_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The calendar fields of a count of days since 1970-01-01 (the time of day left alone).
void CivilFromDays(std::uint32_t days, std::tm& date) {
    const auto shifted = static_cast<std::int32_t>(days) + 719468;
    const std::int32_t era = shifted / 146097;
    const std::int32_t dayOfEra = shifted - era * 146097;
    const std::int32_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int32_t monthIndex = (5 * dayOfYear + 2) / 153; // March is 0
    const int month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int32_t year = yearOfEra + era * 400 + (month <= 2);

    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    date.tm_yday = static_cast<int>(days) - DaysFromCivil(year, 1, 1);
    date.tm_wday = static_cast<int>((days + 4) % 7); // 1970-01-01 was a Thursday
}

// Seconds since 1970 of the fields of a local time read as if they were UTC.
TIME64 FieldsAsUtc(const std::tm& local) {
    const TIME64 days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return days * CLocalTimeCache::SECONDS_PER_DAY + local.tm_hour * 3600 + local.tm_min * 60 +
           local.tm_sec;
}

} // namespace

bool CLocalTimeCache::Convert(TIME64 time, std::tm& local) {
    std::uint32_t localTime = 0;
    if (!ToLocalSeconds(time, localTime))
        return ToLocalTime(time, local);
    if (localTime / SECONDS_PER_DAY != m_nLocalDay)
        LearnLocalDate(localTime / SECONDS_PER_DAY);
    const std::uint32_t second = localTime % SECONDS_PER_DAY;
    local = m_date;
    local.tm_hour = static_cast<int>(second / 3600);
    local.tm_min = static_cast<int>(second / 60 % 60);
    local.tm_sec = static_cast<int>(second % 60);
    local.tm_isdst = m_nDaylight;
    return true;
}

void CLocalTimeCache::LearnDay(std::uint32_t day) {
    m_nDay = day;
    m_bUniform = false;
    const TIME64 first = TIME64(day) * SECONDS_PER_DAY;
    const TIME64 last = first + SECONDS_PER_DAY - 1;
    std::tm atFirst{};
    std::tm atLast{};
    if (!ToLocalTime(first, atFirst) || !ToLocalTime(last, atLast) || atFirst.tm_year < 70 ||
        atLast.tm_year < 70)
        return;
    const TIME64 offset = FieldsAsUtc(atFirst) - first;
    m_bUniform = offset == FieldsAsUtc(atLast) - last && atFirst.tm_isdst == atLast.tm_isdst;
    m_nOffset = offset;
    m_nDaylight = atFirst.tm_isdst;
}

void CLocalTimeCache::LearnLocalDate(std::uint32_t localDay) {
    m_nLocalDay = localDay;
    m_date = std::tm{};
    CivilFromDays(localDay, m_date);
}
