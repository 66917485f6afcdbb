#include "ExportData.h"
#include "export/CsvExport.h"
#include "export/ExportCommand.h"
#include "framework/CArchive.h"
#include "framework/CFile.h"
#include "log/MonthLog.h"
#include "support/LocalTime.h"
#include "support/TableRow.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <vector>

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

class Export : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        m_out.str("");
        m_err.str("");
        return RunExport(args, m_out, m_err);
    }

    void WriteConnectionFile(const CConnectionList& list) {
        CFile file(m_folder / "clog.dat", CFile::modeCreate | CFile::modeWrite);
        CArchive archive(file, CArchive::store);
        StoreConnectionList(archive, list);
        archive.Close();
    }

    void WriteMonthFile(TIME64 saveTime, const MonthTable& table) {
        CFile file(m_folder / "mlog.dat", CFile::modeCreate | CFile::modeWrite);
        WriteMonthLog(file, saveTime, table);
    }

    // A failure is one line on the error stream and nothing on the output.
    void ExpectFailure(int code, const std::string& reason) {
        EXPECT_EQ(EXPORT_FAILED, code);
        EXPECT_EQ("tarvolo-export: " + reason + "\n", m_err.str());
        EXPECT_EQ("", m_out.str());
    }

    std::vector<std::string> FolderContent() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((m_folder / "*").c_str(), &found);
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

    TempFolder m_folder;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

// The arguments besides --dir, and the rows after the header that the connections of
// ExportPeriods give.
struct PeriodsRun {
    const char* name;
    std::vector<std::string> args;
    std::string rows;
};

void PrintTo(const PeriodsRun& row, std::ostream* os) {
    *os << row.name;
}

class ExportPeriods : public Export, public ::testing::WithParamInterface<PeriodsRun> {};

} // namespace

TEST_F(Export, WorkedExampleGivesTwoConnectionRows) {
    WriteFileBytes(m_folder / "clog.dat", WORKED_EXAMPLE);
    EXPECT_EQ(EXPORT_OK, Run({"--dir", m_folder.Path(), "connections"}));
    EXPECT_EQ(WORKED_EXAMPLE_CSV, m_out.str());
    EXPECT_EQ("", m_err.str());
}

TEST_F(Export, FolderMayBeGivenWithAnEqualsSignAndWithoutItsBackslash) {
    WriteFileBytes(m_folder / "clog.dat", WORKED_EXAMPLE);
    std::string folder = m_folder.Path();
    folder.pop_back();
    EXPECT_EQ(EXPORT_OK, Run({"connections", "--dir=" + folder}));
    EXPECT_EQ(WORKED_EXAMPLE_CSV, m_out.str());
}

TEST_F(Export, AnEmptyLogIsTheHeaderAlone) {
    WriteFileBytes(m_folder / "clog.dat", Bytes{0, 0});
    EXPECT_EQ(EXPORT_OK, Run({"--dir", m_folder.Path(), "connections"}));
    EXPECT_EQ("start_utc,start_local,duration_s,received_bytes,sent_bytes\r\n", m_out.str());
}

TEST_F(Export, MonthsOneToTwelveAndTheSaveTime) {
    MonthTable table{};
    table[0] = {999, 0, 999, 999}; // belongs to no month: not exported
    table[1] = {3783, 0, 1582864, 264144};
    table[12] = {-5, 0xFFFFFFFF, 0x123456789ALL, -1};
    WriteMonthFile(0x3C47F25C, table);
    EXPECT_EQ(EXPORT_OK, Run({"months", "--dir", m_folder.Path()}));
    EXPECT_EQ("month,duration_s,received_bytes,sent_bytes\r\n"
              "1,3783,1582864,264144\r\n"
              "2,0,0,0\r\n3,0,0,0\r\n4,0,0,0\r\n5,0,0,0\r\n6,0,0,0\r\n"
              "7,0,0,0\r\n8,0,0,0\r\n9,0,0,0\r\n10,0,0,0\r\n11,0,0,0\r\n"
              "12,-5,78187493530,-1\r\n"
              "# saved_utc,2002-01-18T10:01:00Z\r\n",
              m_out.str());
}

// The second before and the first second of 15 January, a connection in March, and one in
// January stored after it, as after a clock set back; February has none.
CConnectionList AcrossPeriods() {
    return {{LocalTime(2027, 1, 14, 23, 59, 59), 100, 1000, 10},
            {LocalTime(2027, 1, 15), 200, 2000, 20},
            {LocalTime(2027, 3, 20, 12), 400, 4000, 40},
            {LocalTime(2027, 1, 20), 800, 8000, 80}};
}

TEST_P(ExportPeriods, TotalTheConnectionsByThePeriodTheyBeganIn) {
    WriteConnectionFile(AcrossPeriods());
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), {"--dir", m_folder.Path()});
    EXPECT_EQ(EXPORT_OK, Run(args));
    EXPECT_EQ("period_start_local,period_end_local,connections,duration_s,received_bytes,"
              "sent_bytes\r\n" +
                  GetParam().rows,
              m_out.str());
    EXPECT_EQ("", m_err.str());
}

INSTANTIATE_TEST_SUITE_P(
    Export, ExportPeriods,
    ::testing::Values(PeriodsRun{"ByDefaultFromTheFirst",
                                 {"periods"},
                                 "2027-01-01T00:00:00,2027-02-01T00:00:00,3,1100,11000,110\r\n"
                                 "2027-03-01T00:00:00,2027-04-01T00:00:00,1,400,4000,40\r\n"},
                      PeriodsRun{"FromThe15th",
                                 {"--day", "15", "periods"},
                                 "2026-12-15T00:00:00,2027-01-15T00:00:00,1,100,1000,10\r\n"
                                 "2027-01-15T00:00:00,2027-02-15T00:00:00,2,1000,10000,100\r\n"
                                 "2027-03-15T00:00:00,2027-04-15T00:00:00,1,400,4000,40\r\n"},
                      PeriodsRun{"FromTheLastOfTheMonth",
                                 {"periods", "--day=31"},
                                 "2026-12-31T00:00:00,2027-01-31T00:00:00,3,1100,11000,110\r\n"
                                 "2027-02-28T00:00:00,2027-03-31T00:00:00,1,400,4000,40\r\n"}),
    RowName());

// The day a connection began, by local midnight: two on the 23-hour day summer time begins
// with (in Berlin), in its first hour and in its last, and one in the next day's first hour.
TEST_F(Export, DaysTotalTheConnectionsByTheLocalDayTheyBeganOn) {
    CConnectionList list = AcrossPeriods();
    list.push_back({LocalTime(2027, 3, 28, 0, 30), 1, 3, 5});
    list.push_back({LocalTime(2027, 3, 28, 23, 30), 2, 4, 6});
    list.push_back({LocalTime(2027, 3, 29, 0, 30), 4, 8, 16});
    WriteConnectionFile(list);
    EXPECT_EQ(EXPORT_OK, Run({"days", "--dir", m_folder.Path()}));
    EXPECT_EQ("date,connections,duration_s,received_bytes,sent_bytes\r\n"
              "2027-01-14,1,100,1000,10\r\n"
              "2027-01-15,1,200,2000,20\r\n"
              "2027-01-20,1,800,8000,80\r\n"
              "2027-03-20,1,400,4000,40\r\n"
              "2027-03-28,2,3,7,11\r\n"
              "2027-03-29,1,4,8,16\r\n",
              m_out.str());
    EXPECT_EQ("", m_err.str());
}

TEST_F(Export, LocalTimesFollowSummerTime) {
    EXPECT_EQ("2002-07-01T10:00:00Z", FormatIsoUtc(1025517600));
    EXPECT_EQ("2002-07-01T12:00:00", FormatIsoLocal(1025517600));
    EXPECT_EQ("1970-01-01T00:00:00Z", FormatIsoUtc(0));
    EXPECT_EQ("2106-02-07T06:28:15Z", FormatIsoUtc(0xFFFFFFFFLL));
}

TEST_F(Export, MissingFilesAreErrors) {
    ExpectFailure(Run({"--dir", m_folder.Path(), "connections"}),
                  m_folder / "clog.dat" + " was not found.");
    ExpectFailure(Run({"--dir", m_folder.Path(), "months"}),
                  m_folder / "mlog.dat" + " was not found.");
    ExpectFailure(Run({"--dir", m_folder / "missing", "months"}),
                  m_folder / "missing\\mlog.dat" + " contains an invalid path.");
}

TEST_F(Export, AConnectionFileCutShortBeforeItsCountIsAnError) {
    WriteFileBytes(m_folder / "clog.dat", Bytes{0x02});
    ExpectFailure(Run({"--dir", m_folder.Path(), "connections"}),
                  "An attempt was made to access " + m_folder / "clog.dat" + " past its end.");
}

TEST_F(Export, BadArgumentsAreErrors) {
    ExpectFailure(Run({}), "no command given: connections, months, periods or days (see --help)");
    ExpectFailure(Run({"--dir", m_folder.Path()}),
                  "no command given: connections, months, periods or days (see --help)");
    ExpectFailure(Run({"sessions"}), "unexpected argument 'sessions' (see --help)");
    ExpectFailure(Run({"connections", "months"}), "unexpected argument 'months' (see --help)");
    ExpectFailure(Run({"connections", "--dir"}), "--dir needs a folder (see --help)");
    ExpectFailure(Run({"connections", "--dir="}), "--dir needs a folder (see --help)");
    ExpectFailure(Run({"--verbose", "months"}), "unexpected argument '--verbose' (see --help)");
    const std::string badDay = "--day needs a day of the month from 1 to 31 (see --help)";
    ExpectFailure(Run({"periods", "--day"}), badDay);
    ExpectFailure(Run({"periods", "--day", "32"}), badDay);
    for (const char* day : {"", "0", "x", "1x", "-1", "4294967297"}) {
        SCOPED_TRACE(day);
        ExpectFailure(Run({"periods", std::string("--day=") + day}), badDay);
    }
    ExpectFailure(Run({"months", "--day", "15"}), "--day belongs to periods (see --help)");
}

// A folder too long for the system's path functions is refused instead of being cut or dropped,
// which would export the files of another folder; the longest that fits is read as given.
TEST_F(Export, AFolderTooLongForItsDataFilesIsAnError) {
    const std::string longest = "C:\\" + std::string(247, 'd');
    ExpectFailure(Run({"--dir", longest, "months"}),
                  longest + "\\mlog.dat contains an invalid path.");
    for (const std::string& folder :
         {longest + "d", longest + "d\\", "C:\\" + std::string(254, 'd')}) {
        SCOPED_TRACE(folder.size());
        m_err.str("");
        ExpectFailure(Run({"--dir", folder, "months"}),
                      "--dir: the folder's path is too long (at most 250 characters)");
    }
}

TEST_F(Export, HelpShowsTheUsage) {
    EXPECT_EQ(EXPORT_OK, Run({"--help"}));
    EXPECT_THAT(m_out.str(),
                StartsWith("Usage: tarvolo-export [--dir <folder>] connections|months|periods"));
    EXPECT_THAT(m_out.str(),
                HasSubstr("start_utc,start_local,duration_s,received_bytes,sent_bytes"));
    EXPECT_EQ("", m_err.str());
    EXPECT_EQ(EXPORT_OK, Run({"months", "--help"}));
    EXPECT_THAT(m_out.str(), StartsWith("Usage:"));
}

TEST_F(Export, TheDataFolderIsNeverWritten) {
    WriteFileBytes(m_folder / "clog.dat", WORKED_EXAMPLE);
    WriteMonthFile(0x3C47F25C, MonthTable{});
    const std::vector<std::string> before = FolderContent();
    Run({"--dir", m_folder.Path(), "connections"});
    Run({"--dir", m_folder.Path(), "months"});
    EXPECT_EQ(before, FolderContent());
    EXPECT_EQ(WORKED_EXAMPLE, ReadFileBytes(m_folder / "clog.dat"));
}

TEST_F(Export, AnOutputThatFailsIsAnError) {
    WriteFileBytes(m_folder / "clog.dat", WORKED_EXAMPLE);
    m_out.setstate(std::ios::badbit);
    EXPECT_EQ(EXPORT_FAILED, RunExport({"--dir", m_folder.Path(), "connections"}, m_out, m_err));
    EXPECT_EQ("tarvolo-export: cannot write to standard output\n", m_err.str());
}
