// The pieces of the report pages and the pages written outside a recording.
#include "ExpectedPages.h"
#include "LogFolderTest.h"
#include "framework/CTextFile.h"
#include "log/CNumberFormat.h"
#include "log/CReportRowFormatter.h"
#include "log/ReportFormat.h"
#include "log/ReportPages.h"

TEST(ReportFormat, DurationsAsHoursMinutesSecondsAndABlank) {
    EXPECT_EQ("00:00:00 ", FormatDuration(0));
    EXPECT_EQ("00:00:59 ", FormatDuration(59));
    EXPECT_EQ("00:01:00 ", FormatDuration(60));
    EXPECT_EQ("01:00:00 ", FormatDuration(3600));
    EXPECT_EQ("01:02:03 ", FormatDuration(3723));
    EXPECT_EQ("100:00:00 ", FormatDuration(360000));
    EXPECT_EQ("596523:14:07 ", FormatDuration(2147483647));
}

TEST(ReportFormat, CellsCarryNoAttributes) {
    EXPECT_EQ("<td>&nbsp</td>", FormatCell(""));
    EXPECT_EQ("<td><font face=\"Verdana\" size=\"2\">1,50</font></td>", FormatCell("1,50"));
}

TEST(ReportFormat, TimeTextsLongerThan127CharactersAreEmpty) {
    std::string format;
    for (int i = 0; i < 14; ++i)
        format += "%H:%M:%S "; // 9 characters each
    EXPECT_EQ(127u, FormatLocalTime(0x3C46A0A0, (format + "x").c_str()).size());
    EXPECT_EQ("", FormatLocalTime(0x3C46A0A0, (format + "xy").c_str()));
}

class ReportRow : public LogFolderTest {};

TEST_F(ReportRow, TheWorkedExampleUnderGermanSettings) {
    const CConnectionInfo info(0x3C46A0A0, 3723, 1572864, 262144);
    CNumberFormat format(2);
    EXPECT_THAT(ShortDate(0x3C46A0A0),
                ::testing::AnyOf(::testing::Eq("17.01.2002"), ::testing::Eq("17.1.2002")));
    EXPECT_EQ("<tr>" + Cell(ShortDate(0x3C46A0A0)) + Cell("11:00:00") + Cell("01:02:03 ") +
                  Cell("1,50") + Cell("0,25") + Cell("1,75") + "</tr>\n",
              info.FormatReportRow(format));
}

TEST_F(ReportRow, VolumesAboveAThousandMegabytesAreGroupedAndNegativeOnesSigned) {
    const CConnectionInfo info(0x3C46A0A0, 0, 1234567890, -1572864);
    CNumberFormat format(2);
    const std::string row = info.FormatReportRow(format);
    EXPECT_NE(std::string::npos, row.find(Cell("1.177,38")));
    EXPECT_NE(std::string::npos, row.find(Cell("-1,50")));
    EXPECT_NE(std::string::npos, row.find(Cell("1.175,88")));
}

TEST_F(ReportRow, OneFormatterForAWholePageGivesEveryRowItsOwnDate) {
    CNumberFormat format(2);
    CReportRowFormatter rows(format);
    const TIME64 first = 0x3C46A0A0;
    for (TIME64 start :
         {first, first + 3600, first + DAY, first + 365 * DAY, first + 40 * DAY, first}) {
        const std::string row(rows.FormatRow(CConnectionInfo(start, 1, 0, 0)));
        EXPECT_EQ(CConnectionInfo(start, 1, 0, 0).FormatReportRow(format), row);
        EXPECT_EQ(0u, row.find("<tr>" + Cell(ShortDate(start)))) << start;
    }
}

class ReportPages : public LogFolderTest {};

TEST_F(ReportPages, TemplatesAreWrittenAsTextAndAMissingOneLeavesItsPartOut) {
    {
        CTextFile file(Path("page.htm"), ReportPageFlags());
        EXPECT_TRUE(WriteTemplate(file, IDR_MLOG_FOOT));
        EXPECT_FALSE(WriteTemplate(file, 999));
        EXPECT_TRUE(WriteTemplate(file, IDR_MLOG_FOOT));
        file.Close();
    }
    EXPECT_EQ(MONTH_PAGE_FOOT + MONTH_PAGE_FOOT, ReadFileText(Path("page.htm")));
}

TEST_F(ReportPages, FrameAndConnectionShellFailWithoutAMessage) {
    const std::string missingFolder = Path("missing\\");
    EXPECT_FALSE(WriteFrameReport(missingFolder + "frame.htm"));
    EXPECT_FALSE(WriteConnectionReportShell(missingFolder + "clog.htm", true));
    EXPECT_TRUE(WriteFrameReport(Path("frame.htm")));
    EXPECT_EQ(FRAME_PAGE, ReadFileText(Path("frame.htm")));
    EXPECT_TRUE(WriteConnectionReportShell(Path("clog.htm"), false));
    EXPECT_EQ(TemplateOnDisk(IDR_CLOG_HEAD), ReadFileText(Path("clog.htm")));
}

// The head goes over the start of the old page; the rows that follow overwrite the rest.
TEST_F(ReportPages, TheConnectionHeadIsWrittenOverTheStartOfTheOldPage) {
    const std::string head = TemplateOnDisk(IDR_CLOG_HEAD);
    const std::string old(head.size() + 500, 'x');
    WriteFileText(Path("clog.htm"), old);
    const std::optional<std::uint64_t> headEnd = WriteConnectionReportHead(Path("clog.htm"));
    ASSERT_TRUE(headEnd.has_value());
    EXPECT_EQ(head.size(), *headEnd);
    EXPECT_EQ(head + old.substr(head.size()), ReadFileText(Path("clog.htm")));

    EXPECT_FALSE(WriteConnectionReportHead(Path("missing\\clog.htm")).has_value());
    DeleteFileA(Path("clog.htm").c_str());
    EXPECT_EQ(head.size(), WriteConnectionReportHead(Path("clog.htm")).value_or(0));
    EXPECT_EQ(head, ReadFileText(Path("clog.htm")));
}

TEST_F(ReportPages, AMonthPageThatCannotBeCreatedIsReported) {
    ExpectMessages();
    WriteRecentMonthFile();
    auto log = OpenLog();
    const std::string path = Path("missing\\mlog.htm");
    log->WriteMonthReport(path);
    EXPECT_THAT(m_messages.Texts(), ::testing::ElementsAre(path + " contains an invalid path."));
}

// ---- the month report lists the current month and the two before it

class MonthBoundaryReport : public LogFolderTest {};

TEST_F(MonthBoundaryReport, InJanuaryNovemberAndDecemberComeFromEntries11And12) {
    m_clock.Set(LocalTime(2003, 1, 1, 0, 0, 5));
    MonthTable table{};
    table[10] = {7, 0, 70 * MB, 0};
    table[11] = {3600, 0, MB, MB / 2};
    table[12] = {59, 0, 0, MB / 4};
    table[1] = {360000, 0, 1234567890, 0};
    table[2] = {8, 0, 80 * MB, 0};
    WriteRecentMonthFile(table);
    auto log = OpenLog();
    log->WriteMonthReport(Path("mlog.htm"));
    EXPECT_EQ(MonthPage({{"November", "01:00:00 ", "1,00", "0,50", "1,50"},
                         {"Dezember", "00:00:59 ", "0,00", "0,25", "0,25"},
                         {"Januar", "100:00:00 ", "1.177,38", "0,00", "1.177,38"}}),
              ReadFileText(Path("mlog.htm")));
}

TEST_F(MonthBoundaryReport, InMarchTheThreeMonthsAreJanuaryToMarch) {
    m_clock.Set(LocalTime(2003, 3, 31, 23, 59, 55));
    WriteRecentMonthFile();
    auto log = OpenLog();
    log->WriteMonthReport(Path("mlog.htm"));
    const std::string page = ReadFileText(Path("mlog.htm"));
    EXPECT_EQ(3, CountOf(page, "<tr>"));
    EXPECT_LT(page.find(Cell("Januar")), page.find(Cell("Februar")));
    EXPECT_LT(page.find(Cell("Februar")), page.find(Cell("M\xE4rz")));
    EXPECT_EQ(std::string::npos, page.find(Cell("April")));
}
