#include "log/CNumberFormat.h"
#include "support/LocaleRead.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <string>

namespace {

// Runs once under German and once under US settings; the program selects the user's locale
// for the C library at start-up, so the tests do too.
class NumberFormatInLocale : public ::testing::Test {
protected:
    void SetUp() override {
        const char* lang = std::getenv("LANG");
        ASSERT_NE(nullptr, lang);
        m_bGerman = std::strncmp(lang, "de", 2) == 0;
        // Wine falls back to US settings silently when a Linux locale is missing.
        ASSERT_EQ(m_bGerman ? 0x407u : 0x409u, unsigned(GetUserDefaultLCID())) << lang;
        std::setlocale(LC_ALL, "");
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }

    const char* Expect(const char* german, const char* us) const { return m_bGerman ? german : us; }

    bool m_bGerman = false;
};

int FailingLocale(unsigned long, char*, int) {
    return 0;
}

// Knows the size of every value but cannot fetch it.
int LocaleFailingOnFetch(unsigned long, char*, int size) {
    return size == 0 ? 8 : 0;
}

std::map<unsigned long, std::string>& FakeValues() {
    static std::map<unsigned long, std::string> values;
    return values;
}

int FakeLocale(unsigned long type, char* buffer, int size) {
    const auto found = FakeValues().find(type);
    if (found == FakeValues().end())
        return 0;
    return AnswerLocaleRead(found->second.c_str(), buffer, size);
}

} // namespace

TEST_F(NumberFormatInLocale, MegabyteTexts) {
    const CNumberFormat format(2);
    EXPECT_EQ(Expect("1,50", "1.50"), FormatMegabytes(1572864, format));
    EXPECT_EQ(Expect("1.177,38", "1,177.38"), FormatMegabytes(1234567890, format));
    EXPECT_EQ(Expect("0,00", "0.00"), FormatMegabytes(0, format));
}

TEST_F(NumberFormatInLocale, MegabyteTextsWithoutTheUsersCLibraryLocale) {
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(Expect("1.177,38", "1,177.38"), FormatMegabytes(1234567890, CNumberFormat(2)));
}

TEST_F(NumberFormatInLocale, NegativeVolumes) {
    const CNumberFormat format(2);
    EXPECT_EQ(Expect("-1,50", "-1.50"), FormatMegabytes(-1572864, format));
    EXPECT_EQ(Expect("-1.177,38", "-1,177.38"), FormatMegabytes(-1234567890, format));
}

TEST_F(NumberFormatInLocale, RoundedToTwoDecimals) {
    const CNumberFormat format(2);
    EXPECT_EQ(Expect("0,00", "0.00"), FormatMegabytes(5242, format)); // 0.004999 MB
    EXPECT_EQ(Expect("0,01", "0.01"), FormatMegabytes(5243, format)); // 0.005000 MB
    EXPECT_EQ(Expect("1.024,00", "1,024.00"), FormatMegabytes(1073741824, format));
}

TEST_F(NumberFormatInLocale, UsersSettingsAreRead) {
    const CNumberFormat format;
    EXPECT_EQ(2u, format.GetDecimals());
    EXPECT_EQ(1u, format.GetLeadingZero());
    EXPECT_EQ(3u, format.GetGrouping());
    EXPECT_EQ(Expect(",", "."), format.GetDecimalSeparator());
    EXPECT_EQ(Expect(".", ","), format.GetThousandSeparator());
}

TEST_F(NumberFormatInLocale, FormatRoundsToTheSetDecimals) {
    CNumberFormat format(2);
    format.SetDecimals(0);
    std::string text = "1234.6";
    format.Format(text);
    EXPECT_EQ(Expect("1.235", "1,235"), text);
    format.SetDecimals(3);
    text = "0.5";
    format.Format(text);
    EXPECT_EQ(Expect("0,500", "0.500"), text);
}

TEST_F(NumberFormatInLocale, TextTheSystemCannotFormatStays) {
    const CNumberFormat format(2);
    std::string text = "1,5";
    format.Format(text);
    EXPECT_EQ("1,5", text);
    text = "abc";
    format.Format(text);
    EXPECT_EQ("abc", text);
}

TEST_F(NumberFormatInLocale, DefaultsWhenTheLocaleCannotBeRead) {
    for (CNumberFormat::LocaleReader reader : {&FailingLocale, &LocaleFailingOnFetch}) {
        const CNumberFormat format(-1, reader);
        EXPECT_EQ(2u, format.GetDecimals());
        EXPECT_EQ(0u, format.GetLeadingZero());
        EXPECT_EQ(3u, format.GetGrouping());
        EXPECT_EQ(",", format.GetDecimalSeparator());
        EXPECT_EQ(".", format.GetThousandSeparator());
        EXPECT_EQ(1u, format.GetNegativeOrder());
        // The defaults are German-style numbers without leading zero, whatever the user's.
        EXPECT_EQ("1.177,38", FormatMegabytes(1234567890, format));
        EXPECT_EQ(",50", FormatMegabytes(524288, format));
        EXPECT_EQ("-1,50", FormatMegabytes(-1572864, format));
    }
}

TEST(NumberFormatLocaleValues, TextsAndIntegersOfTheLocale) {
    FakeValues() = {{LOCALE_IDIGITS, "3"},
                    {LOCALE_SGROUPING, "3;2;0"},
                    {LOCALE_SDECIMAL, "'"},
                    {LOCALE_STHOUSAND, " "},
                    {LOCALE_INEGNUMBER, "2"}};
    const CNumberFormat format(-1, &FakeLocale);
    EXPECT_EQ(3u, format.GetDecimals());
    EXPECT_EQ(0u, format.GetLeadingZero()); // not among the values: its default
    EXPECT_EQ(3u, format.GetGrouping());
    EXPECT_EQ("'", format.GetDecimalSeparator());
    EXPECT_EQ(" ", format.GetThousandSeparator());
    EXPECT_EQ(2u, format.GetNegativeOrder());
    EXPECT_EQ(42, format.GetLocaleInt(LOCALE_ILZERO, 42));
    EXPECT_EQ("x", format.GetLocaleString(LOCALE_ILZERO, "x"));
    EXPECT_EQ("3;2;0", format.GetLocaleString(LOCALE_SGROUPING, "x"));
}

TEST(NumberFormatLocaleValues, GivenDecimalsWinOverTheLocale) {
    FakeValues() = {{LOCALE_IDIGITS, "3"}};
    CNumberFormat format(1, &FakeLocale);
    EXPECT_EQ(1u, format.GetDecimals());
    format.SetDecimals(-1);
    EXPECT_EQ(3u, format.GetDecimals());
}
