#include "log/CMegabyteText.h"

#include "log/CNumberFormat.h"
#include "log/TwoDigits.h"

namespace {

constexpr std::int64_t LARGEST_FAST_BYTES = std::int64_t(1) << 48;
constexpr std::size_t MAX_WHOLE_DIGITS = 9; // 2^48 bytes are 268,435,456 megabytes

// Groups of 2 to 4 digits or none: the groupings of real locales, whose rendering the system
// gives as documented (a grouping of 1 it does not).
bool HasFastGrouping(unsigned grouping) {
    return grouping == 0 || (grouping >= 2 && grouping <= 4);
}

// Hundredths of a megabyte as FormatMegabytes rounds them: the C library prints bytes / 2^20
// with six decimals, and the system rounds that text half up to two. Both steps are done here
// on integers: bytes / 2^20 in millionths is bytes * 15,625 / 16,384. A value exactly halfway
// between two millionths never lies next to a rounding boundary of the hundredths, so how the
// C library breaks such ties does not matter.
std::uint64_t Hundredths(std::int64_t bytes) {
    // Below 4 GiB one 32-bit multiplication gives the product.
    const std::uint64_t product = bytes <= 0xFFFFFFFF
                                      ? std::uint64_t(static_cast<std::uint32_t>(bytes)) * 15625
                                      : static_cast<std::uint64_t>(bytes) * 15625;
    const std::uint64_t millionths = (product + 8192) >> 14;
    // Most connections stay below 4 GiB, where 32 bits do and a division costs far less.
    if (millionths < 0xFFFFFFFF - 5000)
        return (static_cast<std::uint32_t>(millionths) + 5000) / 10000;
    return (millionths + 5000) / 10000;
}

} // namespace

CMegabyteText::CMegabyteText(const CNumberFormat& format)
    : m_bLeadingZero(format.GetLeadingZero() != 0), m_nGrouping(format.GetGrouping()) {
    const bool separatorsTaken = Take(m_thousand, format.GetThousandSeparator()) &&
                                 Take(m_decimal, format.GetDecimalSeparator());
    m_bFast = separatorsTaken && format.GetDecimals() == 2 && HasFastGrouping(m_nGrouping) &&
              m_thousand.nLength > 0 && m_decimal.nLength > 0;
    m_nRoom =
        MAX_WHOLE_DIGITS + (MAX_WHOLE_DIGITS - 1) / 2 * m_thousand.nLength + m_decimal.nLength + 2;
}

char* CMegabyteText::Put(char* out, std::int64_t bytes) const {
    if (!m_bFast || bytes < 0 || bytes > LARGEST_FAST_BYTES)
        return nullptr;
    // At most 2^48 bytes: the whole megabytes fit in 32 bits.
    const std::uint64_t hundredths = Hundredths(bytes);
    const auto whole = hundredths <= 0xFFFFFFFF ? static_cast<std::uint32_t>(hundredths) / 100
                                                : static_cast<std::uint32_t>(hundredths / 100);
    const auto fraction = static_cast<std::uint32_t>(hundredths - std::uint64_t(whole) * 100);
    if (whole > 0 || m_bLeadingZero)
        out = PutWhole(out, whole);
    return PutTwoDigits(PutSeparator(out, m_decimal), fraction);
}

bool CMegabyteText::Take(Separator& separator, const std::string& text) {
    if (text.size() > MAX_SEPARATOR)
        return false;
    separator.nLength = text.size();
    text.copy(separator.szText, text.size());
    return true;
}

char* CMegabyteText::PutWhole(char* out, std::uint32_t whole) const {
    char digits[MAX_WHOLE_DIGITS + 1];
    char* const end = digits + sizeof digits;
    char* begin = end;
    for (; whole >= 100; whole /= 100)
        PutTwoDigits(begin -= 2, whole % 100);
    if (whole >= 10)
        PutTwoDigits(begin -= 2, whole);
    else
        *--begin = static_cast<char>('0' + whole);
    const auto length = static_cast<unsigned>(end - begin);
    // The first group takes the digits left over; every later one is a whole group.
    unsigned group = m_nGrouping == 0 ? length : (length - 1) % m_nGrouping + 1;
    for (;;) {
        for (unsigned i = 0; i < group; ++i)
            *out++ = *begin++;
        if (begin == end)
            return out;
        out = PutSeparator(out, m_thousand);
        group = m_nGrouping;
    }
}

char* CMegabyteText::PutSeparator(char* out, const Separator& separator) {
    for (std::size_t i = 0; i < separator.nLength; ++i)
        *out++ = separator.szText[i];
    return out;
}
