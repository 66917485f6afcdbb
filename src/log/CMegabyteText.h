#pragma once
// The megabyte text of FormatMegabytes, made without the C library's printing and the system's
// number formatting for the common case, which a report of tens of thousands of rows needs
// three times a row. The number format's settings are taken once, when the object is made.
#include <cstddef>
#include <cstdint>
#include <string>

class CNumberFormat;

class CMegabyteText {
public:
    explicit CMegabyteText(const CNumberFormat& format);

    // The room Put may need.
    std::size_t GetRoom() const { return m_nRoom; }

    // Writes the text of FormatMegabytes(bytes, format) to out, which has GetRoom() characters
    // of room, and returns its end; nullptr, writing nothing, for the byte counts and formats
    // that only FormatMegabytes can tell: counts that are negative or beyond 2^48, and formats
    // other than two decimals with groups of 2 to 4 digits or none.
    char* Put(char* out, std::int64_t bytes) const;

private:
    // Separators of real locales are at most three characters.
    static constexpr std::size_t MAX_SEPARATOR = 4;

    struct Separator {
        char szText[MAX_SEPARATOR] = {};
        std::size_t nLength = 0;
    };

    static bool Take(Separator& separator, const std::string& text);
    char* PutWhole(char* out, std::uint32_t whole) const;
    static char* PutSeparator(char* out, const Separator& separator);

    bool m_bFast;
    bool m_bLeadingZero;
    unsigned m_nGrouping;
    Separator m_thousand;
    Separator m_decimal;
    std::size_t m_nRoom;
};
