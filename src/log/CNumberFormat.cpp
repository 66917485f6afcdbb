#include "log/CNumberFormat.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

int ReadUserLocale(unsigned long type, char* buffer, int size) {
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, size);
}

// Reads the locale value's text; false when it is missing or cannot be fetched.
bool ReadLocaleText(CNumberFormat::LocaleReader read, unsigned long type, std::string& text) {
    const int size = read(type, nullptr, 0);
    if (size <= 0)
        return false;
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    if (read(type, buffer.data(), size) == 0)
        return false;
    text = buffer.data();
    return true;
}

} // namespace

CNumberFormat::CNumberFormat(int decimals, LocaleReader readLocale)
    : m_readLocale(readLocale ? readLocale : &ReadUserLocale) {
    SetDecimals(decimals);
    m_nLeadingZero = static_cast<unsigned>(GetLocaleInt(LOCALE_ILZERO, 0));
    m_nGrouping = static_cast<unsigned>(GetLocaleInt(LOCALE_SGROUPING, 3));
    m_strDecimalSep = GetLocaleString(LOCALE_SDECIMAL, ",");
    m_strThousandSep = GetLocaleString(LOCALE_STHOUSAND, ".");
    m_nNegativeOrder = static_cast<unsigned>(GetLocaleInt(LOCALE_INEGNUMBER, 1));
}

void CNumberFormat::SetDecimals(int n) {
    if (n == -1)
        n = GetLocaleInt(LOCALE_IDIGITS, 2);
    m_nNumDigits = static_cast<unsigned>(n);
}

void CNumberFormat::Format(std::string& text) const {
    std::string decimalSep = m_strDecimalSep;
    std::string thousandSep = m_strThousandSep;
    NUMBERFMTA format{};
    format.NumDigits = m_nNumDigits;
    format.LeadingZero = m_nLeadingZero;
    format.Grouping = m_nGrouping;
    format.lpDecimalSep = decimalSep.data();
    format.lpThousandSep = thousandSep.data();
    format.NegativeOrder = m_nNegativeOrder;

    // The buffer fits any rendering of text (every digit with a group separator, sign and
    // decimals), so one call does: the size query of the ANSI form is unreliable under Wine.
    const std::size_t capacity =
        text.size() * (1 + thousandSep.size()) + decimalSep.size() + m_nNumDigits + 8;
    std::vector<char> result(capacity + 1, '\0');
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, text.c_str(), &format, result.data(),
                         static_cast<int>(capacity)))
        text = result.data();
}

int CNumberFormat::GetLocaleInt(unsigned long type, int defaultValue) const {
    std::string text;
    if (!ReadLocaleText(m_readLocale, type, text))
        return defaultValue;
    return std::atoi(text.c_str());
}

std::string CNumberFormat::GetLocaleString(unsigned long type,
                                           const std::string& defaultValue) const {
    std::string text;
    if (!ReadLocaleText(m_readLocale, type, text))
        return defaultValue;
    return text;
}

std::string FormatMegabytes(std::int64_t bytes, const CNumberFormat& format) {
    const double megabytes = static_cast<double>(bytes) / 1048576.0;
    // Printed in the C library's locale, which may put a decimal comma; the system's number
    // formatting takes a decimal point only.
    char printed[64] = {};
    std::snprintf(printed, sizeof printed, "%lf", megabytes);
    std::string text = printed;
    std::replace(text.begin(), text.end(), ',', '.');
    format.Format(text);
    return text;
}
