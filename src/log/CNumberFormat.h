#pragma once
// A number format of the user's regional settings (decimals, leading zero, grouping,
// separators, negative style), read once when the object is built; values that cannot be read
// take fixed defaults.
#include <cstdint>
#include <string>

class CNumberFormat {
public:
    // Reads one value of the user's locale like GetLocaleInfoA: with size 0 it returns the
    // size the text needs, otherwise it fills buffer and returns the characters written; 0 on
    // failure. Tests pass their own to see what happens when the locale cannot be read.
    using LocaleReader = int (*)(unsigned long type, char* buffer, int size);

    // decimals -1 takes the locale's number of decimals.
    explicit CNumberFormat(int decimals = -1, LocaleReader readLocale = nullptr);

    // n = -1 takes the locale's number of decimals (2 when it cannot be read).
    void SetDecimals(int n);

    // text holds a plain number with "." as decimal point; it becomes the locale's rendering,
    // rounded to the decimals. Text the system cannot format stays as it was.
    void Format(std::string& text) const;

    // The locale value as an integer (the C library's conversion of its text: "3;0" gives 3).
    int GetLocaleInt(unsigned long type, int defaultValue) const;
    std::string GetLocaleString(unsigned long type, const std::string& defaultValue) const;

    unsigned GetDecimals() const { return m_nNumDigits; }
    unsigned GetLeadingZero() const { return m_nLeadingZero; }
    unsigned GetGrouping() const { return m_nGrouping; }
    const std::string& GetDecimalSeparator() const { return m_strDecimalSep; }
    const std::string& GetThousandSeparator() const { return m_strThousandSep; }
    unsigned GetNegativeOrder() const { return m_nNegativeOrder; }

private:
    LocaleReader m_readLocale;
    unsigned m_nNumDigits = 2;
    unsigned m_nLeadingZero = 0;
    unsigned m_nGrouping = 3;
    std::string m_strDecimalSep = ",";
    std::string m_strThousandSep = ".";
    unsigned m_nNegativeOrder = 1;
};

// The megabytes (bytes / 1,048,576) of a byte count as text of the given format, which the
// callers set to two decimals.
std::string FormatMegabytes(std::int64_t bytes, const CNumberFormat& format);
