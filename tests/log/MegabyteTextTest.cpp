// The fast megabyte text against FormatMegabytes itself, which goes through the C library and
// the system's number formatting: both must give the same bytes for every value and setting.
#include "FakeLocale.h"
#include "log/CNumberFormat.h"
#include "log/CMegabyteText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace {

std::string Reference(std::int64_t bytes, const CNumberFormat& format) {
    return "<" + FormatMegabytes(bytes, format);
}

// Put's text; false where it writes nothing.
bool Put(std::string& text, std::int64_t bytes, const CNumberFormat& format) {
    const CMegabyteText megabytes(format);
    text.assign(megabytes.GetRoom(), '\0');
    const char* end = megabytes.Put(&text[0], bytes);
    text.resize(end ? static_cast<std::size_t>(end - text.data()) : 0);
    return end != nullptr;
}

// The text as the report rows make it: Put's where it writes one, else FormatMegabytes'.
std::string Fast(std::int64_t bytes, const CNumberFormat& format) {
    std::string text;
    return Put(text, bytes, format) ? "<" + text : Reference(bytes, format);
}

bool Declines(std::int64_t bytes, const CNumberFormat& format) {
    std::string text;
    return !Put(text, bytes, format);
}

// Byte counts around every place where rounding could go wrong: the hundredths' boundaries,
// the values halfway between two millionths, and a spread of large numbers.
std::vector<std::int64_t> Samples() {
    std::vector<std::int64_t> samples = {0, 1, 2, 5242, 5243, 8191, 8192, 8193, 10485, 10486};
    for (std::int64_t h = 0; h < 3000; ++h) {
        const std::int64_t boundary = (2 * h + 1) * 1048576 / 200; // (h + 0.5) hundredths
        for (std::int64_t d = -2; d <= 2; ++d)
            samples.push_back(boundary + d);
        samples.push_back(16384 * h + 8192);
    }
    std::uint64_t seed = 12345;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        const int bits = 1 + static_cast<int>(seed >> 58) % 48;
        samples.push_back(static_cast<std::int64_t>((seed >> 11) & ((1ULL << bits) - 1)));
    }
    for (std::int64_t big : {999999999999LL, 1000000000000LL, 1LL << 40, 1LL << 48})
        samples.push_back(big);
    // Where the millionths outgrow 32 bits (about 4 GiB) and the arithmetic changes width.
    const std::int64_t wide = (std::int64_t(0xFFFFFFFF - 5000) << 14) / 15625;
    for (std::int64_t d = -40; d <= 40; ++d)
        for (std::int64_t around : {wide, wide + 5243, wide - 5243})
            samples.push_back(around + d);
    return samples;
}

void ExpectSameTexts(const CNumberFormat& format) {
    int differences = 0;
    for (std::int64_t bytes : Samples()) {
        const std::string fast = Fast(bytes, format);
        const std::string reference = Reference(bytes, format);
        if (fast != reference && ++differences <= 5)
            ADD_FAILURE() << bytes << " bytes: " << fast << " instead of " << reference;
    }
    EXPECT_EQ(0, differences);
}

class MegabyteText : public ::testing::Test {
protected:
    static void SetUpTestSuite() { std::setlocale(LC_ALL, ""); }
};

} // namespace

TEST_F(MegabyteText, SameAsFormatMegabytesInTheUsersSettings) {
    CNumberFormat format(2);
    ExpectSameTexts(format);
    EXPECT_EQ(FormatMegabytes(1234567890, format), Fast(1234567890, format).substr(1));
}

TEST_F(MegabyteText, SameAsFormatMegabytesInOtherSettings) {
    const FakeSettings settings[] = {
        {",", ".", "3;0", "1", "2"}, {".", ",", "3;0", "0", "2"},   {",", " ", "0", "1", "2"},
        {",", "'", "2;0", "0", "2"}, {"::", "--", "4;0", "1", "2"}, {",", ".", "3;2;0", "1", "2"},
    };
    for (const FakeSettings& s : settings) {
        SCOPED_TRACE(std::string(s.decimal) + " " + s.thousand + " " + s.grouping + " " +
                     s.leadingZero);
        g_fakeSettings = s;
        CNumberFormat format(2, &ReadFakeLocale);
        ExpectSameTexts(format);
    }
}

TEST_F(MegabyteText, OtherCasesAreLeftToFormatMegabytes) {
    CNumberFormat format(2);
    for (std::int64_t bytes : {-1LL, -1572864LL, -(1LL << 40), (1LL << 48) + 1, 1LL << 62})
        EXPECT_TRUE(Declines(bytes, format)) << bytes;
    g_fakeSettings = {",", ".", "1;0", "1", "2"}; // a grouping the system does not render as such
    const CNumberFormat single(2, &ReadFakeLocale);
    EXPECT_TRUE(Declines(10480517, single));
    format.SetDecimals(3);
    for (std::int64_t bytes : {0LL, 1572864LL, 1234567890LL})
        EXPECT_TRUE(Declines(bytes, format)) << bytes;
}
