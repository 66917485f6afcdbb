#include "log/MegabyteText.h"

#include "log/CNumberFormat.h"

namespace {

constexpr std::int64_t LARGEST_FAST_BYTES = std::int64_t(1) << 48;
constexpr std::size_t MAX_WHOLE_DIGITS = 9; // 2^48 bytes are 268,435,456 megabytes

// Groups of 2 to 4 digits or none: the groupings of real locales, whose rendering the system
// gives as documented (a grouping of 1 it does not).
bool HasFastGrouping(unsigned grouping) {
    return grouping == 0 || (grouping >= 2 && grouping <= 4);
}

bool HasFastForm(std::int64_t bytes, const CNumberFormat& format) {
    return bytes >= 0 && bytes <= LARGEST_FAST_BYTES && format.GetDecimals() == 2 &&
           HasFastGrouping(format.GetGrouping()) && !format.GetDecimalSeparator().empty() &&
           !format.GetThousandSeparator().empty();
}

// Hundredths of a megabyte as FormatMegabytes rounds them: the C library prints bytes / 2^20
// with six decimals, and the system rounds that text half up to two. Both steps are done here
// on integers: bytes / 2^20 in millionths is bytes * 15,625 / 16,384. A value exactly halfway
// between two millionths never lies next to a rounding boundary of the hundredths, so how the
// C library breaks such ties does not matter.
std::uint64_t Hundredths(std::int64_t bytes) {
    const std::uint64_t millionths = (static_cast<std::uint64_t>(bytes) * 15625 + 8192) >> 14;
    // Most connections stay below 4 GiB, where 32 bits do and a division costs far less.
    if (millionths < 0xFFFFFFFF - 5000)
        return (static_cast<std::uint32_t>(millionths) + 5000) / 10000;
    return (millionths + 5000) / 10000;
}

char* PutText(char* out, const std::string& text) {
    for (char c : text)
        *out++ = c;
    return out;
}

char* PutGrouped(char* out, std::uint32_t number, unsigned grouping, const std::string& separator) {
    char digits[12];
    char* const end = digits + sizeof digits;
    char* begin = end;
    do {
        *--begin = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    const auto length = static_cast<unsigned>(end - begin);
    // The first group takes the digits left over; every later one is a whole group.
    unsigned group = grouping == 0 ? length : (length - 1) % grouping + 1;
    for (;;) {
        for (unsigned i = 0; i < group; ++i)
            *out++ = *begin++;
        if (begin == end)
            return out;
        out = PutText(out, separator);
        group = grouping;
    }
}

} // namespace

std::size_t MegabyteTextRoom(const CNumberFormat& format) {
    return MAX_WHOLE_DIGITS + (MAX_WHOLE_DIGITS - 1) / 2 * format.GetThousandSeparator().size() +
           format.GetDecimalSeparator().size() + 2;
}

char* PutFastMegabytes(char* out, std::int64_t bytes, const CNumberFormat& format) {
    if (!HasFastForm(bytes, format))
        return nullptr;
    // At most 2^48 bytes: the whole megabytes fit in 32 bits.
    const std::uint64_t hundredths = Hundredths(bytes);
    const auto whole = hundredths <= 0xFFFFFFFF ? static_cast<std::uint32_t>(hundredths) / 100
                                                : static_cast<std::uint32_t>(hundredths / 100);
    const auto fraction = static_cast<unsigned>(hundredths - std::uint64_t(whole) * 100);
    if (whole > 0 || format.GetLeadingZero())
        out = PutGrouped(out, whole, format.GetGrouping(), format.GetThousandSeparator());
    out = PutText(out, format.GetDecimalSeparator());
    *out++ = static_cast<char>('0' + fraction / 10);
    *out++ = static_cast<char>('0' + fraction % 10);
    return out;
}

void AppendMegabytes(std::string& text, std::int64_t bytes, const CNumberFormat& format) {
    const std::size_t start = text.size();
    text.resize(start + MegabyteTextRoom(format));
    if (char* end = PutFastMegabytes(&text[start], bytes, format)) {
        text.resize(static_cast<std::size_t>(end - text.data()));
        return;
    }
    text.resize(start);
    text += FormatMegabytes(bytes, format);
}
