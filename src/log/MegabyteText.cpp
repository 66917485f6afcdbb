#include "log/MegabyteText.h"

#include "log/CNumberFormat.h"

namespace {

constexpr std::int64_t LARGEST_FAST_BYTES = std::int64_t(1) << 48;

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
std::int64_t Hundredths(std::int64_t bytes) {
    const std::int64_t millionths = (bytes * 15625 + 8192) / 16384;
    return (millionths + 5000) / 10000;
}

void AppendGrouped(std::string& text, std::int64_t number, unsigned grouping,
                   const std::string& separator) {
    const std::string digits = std::to_string(number);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::size_t left = digits.size() - i;
        if (i > 0 && grouping > 0 && left % grouping == 0)
            text += separator;
        text += digits[i];
    }
}

} // namespace

void AppendMegabytes(std::string& text, std::int64_t bytes, const CNumberFormat& format) {
    if (!HasFastForm(bytes, format)) {
        text += FormatMegabytes(bytes, format);
        return;
    }
    const std::int64_t hundredths = Hundredths(bytes);
    const std::int64_t whole = hundredths / 100;
    const int fraction = static_cast<int>(hundredths % 100);
    if (whole > 0 || format.GetLeadingZero())
        AppendGrouped(text, whole, format.GetGrouping(), format.GetThousandSeparator());
    text += format.GetDecimalSeparator();
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
}
