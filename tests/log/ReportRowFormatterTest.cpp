// Whole pages of rows from one formatter against rows put together from the single pieces
// (the C library's date and time, FormatDuration, FormatMegabytes), which the formatter's
// caches and shortcuts must reproduce byte for byte.
#include "ExpectedPages.h"
#include "FakeLocale.h"
#include "framework/CTextFile.h"
#include "log/CNumberFormat.h"
#include "log/CReportRowFormatter.h"
#include "log/ReportFormat.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr TIME64 DAY = 86400;
constexpr TIME64 YEAR_2026 = 1767225600;

std::string ReferenceRow(const CConnectionInfo& info, const CNumberFormat& format) {
    const TIME64 start = info.m_timeStart;
    return "<tr>" + FormatCell(FormatLocalTime(start, "%x")) +
           FormatCell(FormatLocalTime(start, "%#X")) +
           FormatCell(FormatDuration(info.m_nDuration)) +
           FormatCell(FormatMegabytes(info.m_nReceived, format)) +
           FormatCell(FormatMegabytes(info.m_nSent, format)) +
           FormatCell(FormatMegabytes(info.m_nReceived + info.m_nSent, format)) + "</tr>\n";
}

// A page of connections that the fast rows serve, and some at every end that they leave to
// the slow ones.
std::vector<CConnectionInfo> MixedPage() {
    std::vector<CConnectionInfo> page;
    std::uint64_t seed = 7;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto value = static_cast<std::int64_t>(seed >> 20);
        const TIME64 start = YEAR_2026 + value % (366 * DAY);
        page.emplace_back(start, static_cast<std::int32_t>(value % 100000), value % 5000000000,
                          value % 70000);
        if (i % 97 == 0)
            page.emplace_back(start, -5, -1, std::int64_t(1) << 50);
        if (i % 101 == 0)
            page.emplace_back(TIME64(-1), 1, 2, 3);
    }
    return page;
}

// Writes the page with WriteRow into a text file of the given buffer size and returns the file.
std::string WrittenPage(const std::vector<CConnectionInfo>& page, const CNumberFormat& format,
                        unsigned bufferSize) {
    TempFolder folder;
    const std::string path = folder / "clog.htm";
    CReportRowFormatter rows(format);
    CTextFile file(path, CFile::modeCreate | CFile::modeWrite, bufferSize);
    for (const CConnectionInfo& info : page)
        rows.WriteRow(info, file);
    file.Close();
    return ReadFileText(path);
}

class ReportRowFormatterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { std::setlocale(LC_ALL, ""); }
    static void TearDownTestSuite() { std::setlocale(LC_ALL, "C"); }

    void Expect(const CConnectionInfo& info) {
        const std::string expected = ReferenceRow(info, m_format);
        const std::string actual(m_rows.FormatRow(info));
        if (actual != expected && ++m_nDifferences <= 5)
            ADD_FAILURE() << info.m_timeStart << " " << info.m_nDuration << " " << info.m_nReceived
                          << " " << info.m_nSent << "\n  " << actual << "  instead of\n  "
                          << expected;
    }

    void TearDown() override { EXPECT_EQ(0, m_nDifferences); }

    CNumberFormat m_format{2};
    CReportRowFormatter m_rows{m_format};
    int m_nDifferences = 0;
};

} // namespace

TEST_F(ReportRowFormatterTest, APageOfConnectionsOverAYearAndItsClockChanges) {
    std::uint64_t seed = 99;
    const auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return seed >> 16;
    };
    for (int i = 0; i < 20000; ++i) {
        const TIME64 start = YEAR_2026 + static_cast<TIME64>(next() % (370 * DAY));
        const auto duration = static_cast<std::int32_t>(next() % 90000);
        const auto received =
            static_cast<std::int64_t>(next() % (std::uint64_t(1) << (next() % 40)));
        const auto sent = static_cast<std::int64_t>(next() % 50000000);
        Expect(CConnectionInfo(start, duration, received, sent));
    }
}

TEST_F(ReportRowFormatterTest, DurationsAndVolumesAtTheirEnds) {
    for (std::int32_t duration : {0, 59, 60, 3599, 3600, 360000, 3600000, INT_MAX, -1, -3723})
        Expect(CConnectionInfo(YEAR_2026, duration, 0, 0));
    const std::int64_t huge = std::int64_t(1) << 48;
    for (std::int64_t bytes : {std::int64_t(0), std::int64_t(-1), std::int64_t(4503599627),
                               std::int64_t(4503599628), huge, huge + 1, std::int64_t(1) << 62})
        Expect(CConnectionInfo(YEAR_2026, 1, bytes, bytes / 3));
}

TEST_F(ReportRowFormatterTest, StartsTheLibraryCannotConvertLeaveDateAndTimeEmpty) {
    for (TIME64 start : {TIME64(-1), TIME64(1) << 40, TIME64(0), TIME64(0xFFFFFFFF)})
        Expect(CConnectionInfo(start, 1, 1, 1));
    const std::string row(m_rows.FormatRow(CConnectionInfo(-1, 1, 1, 1)));
    EXPECT_EQ(0u, row.find("<tr><td>&nbsp</td><td>&nbsp</td><td><font")) << row;
}

// Rows written straight into the file's buffer are FormatRow's rows as a text file writes
// them, whether the buffer takes them whole, has to be written out first or is too small.
TEST_F(ReportRowFormatterTest, RowsWrittenToATextFileAreTheRowsInTheFilesForm) {
    const std::vector<CConnectionInfo> page = MixedPage();
    std::string expected;
    for (const CConnectionInfo& info : page) {
        Expect(info);
        expected += InFileForm(m_rows.FormatRow(info));
    }
    for (unsigned bufferSize : {65536u, 4096u, 700u, 64u}) {
        const std::string written = WrittenPage(page, m_format, bufferSize);
        EXPECT_EQ(expected.size(), written.size()) << bufferSize;
        EXPECT_TRUE(expected == written) << bufferSize;
    }
}

TEST_F(ReportRowFormatterTest, ALineFeedInTheNumberFormatReachesTheFileAsCrLf) {
    // The system writes a line feed separator as it is, and the file turns it into CR LF like
    // every other.
    g_fakeSettings = {",", "\n", "3;0", "1", "2"};
    const CNumberFormat format(2, &ReadFakeLocale);
    ASSERT_EQ("\n", format.GetThousandSeparator());
    const CConnectionInfo info(YEAR_2026, 1, 5000000000, 0);
    const std::string row(CReportRowFormatter(format).FormatRow(info));
    ASSERT_NE(std::string::npos, row.find(">4\n768,37<")) << row;
    EXPECT_EQ(InFileForm(row), WrittenPage({info}, format, 65536));
}
