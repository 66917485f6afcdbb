// Whole pages of rows from one formatter against rows put together from the single pieces
// (the C library's date and time, FormatDuration, FormatMegabytes), which the formatter's
// caches and shortcuts must reproduce byte for byte.
#include "log/CNumberFormat.h"
#include "log/CReportRowFormatter.h"
#include "log/ReportFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <climits>
#include <cstdint>
#include <string>

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
