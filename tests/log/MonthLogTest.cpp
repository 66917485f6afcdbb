#include "log/CMonthTotals.h"
#include "log/MonthLog.h"
#include "support/FileBytes.h"
#include "support/MemoryFile.h"
#include "support/ScopedClock.h"
#include "support/TableRow.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

MonthTable SampleTable() {
    MonthTable table{};
    table[1] = {3723, 0, 1572864, 262144};
    table[12] = {-1, 0xA5A5A5A5, 0x0102030405060708LL, -2};
    return table;
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t size) {
    return Bytes(bytes.begin() + from, bytes.begin() + from + size);
}

void ExpectZero(const MONTHTOTAL& entry) {
    EXPECT_EQ(0, entry.nDuration);
    EXPECT_EQ(0u, entry.dwPadding);
    EXPECT_EQ(0, entry.nReceived);
    EXPECT_EQ(0, entry.nSent);
}

} // namespace

TEST(MonthLogFile, WrittenAsSaveTimeAndThirteenEntries) {
    MemoryFile file;
    WriteMonthLog(file, 0x3C46A0A0, SampleTable());
    const Bytes& bytes = file.Content();
    ASSERT_EQ(316u, bytes.size());
    EXPECT_EQ((Bytes{0xA0, 0xA0, 0x46, 0x3C}), Slice(bytes, 0, 4));
    EXPECT_EQ(Bytes(24, 0), Slice(bytes, 4, 24)); // entry 0
    EXPECT_EQ(
        (Bytes{0x8B, 0x0E, 0, 0, 0, 0, 0, 0, 0, 0, 0x18, 0, 0, 0, 0, 0, 0, 0, 0x04, 0, 0, 0, 0, 0}),
        Slice(bytes, 28, 24)); // entry 1
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xA5, 0xA5, 0xA5, 0xA5, 8,    7,    6,    5,
                     4,    3,    2,    1,    0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
              Slice(bytes, 292, 24)); // entry 12
}

TEST(MonthLogFile, ReadBackWithPadding) {
    MemoryFile out;
    WriteMonthLog(out, 0x3C46A0A0, SampleTable());
    MemoryFile in(out.Content());
    MonthTable table{};
    EXPECT_EQ(0x3C46A0A0, ReadMonthLog(in, table));
    EXPECT_EQ(3723, table[1].nDuration);
    EXPECT_EQ(262144, table[1].nSent);
    EXPECT_EQ(-1, table[12].nDuration);
    EXPECT_EQ(0xA5A5A5A5u, table[12].dwPadding);
    EXPECT_EQ(0x0102030405060708LL, table[12].nReceived);
    EXPECT_EQ(-2, table[12].nSent);
    ExpectZero(table[0]);
}

TEST(MonthLogFile, ShortFileLeavesTheRestOfTheTableZero) {
    Bytes bytes = {0xA0, 0xA0, 0x46, 0x3C, 0x8B, 0x0E, 0x00, 0x00, 0x77, 0x66};
    MemoryFile file(bytes);
    MonthTable table = SampleTable(); // whatever was there before is replaced
    EXPECT_EQ(0x3C46A0A0, ReadMonthLog(file, table));
    EXPECT_EQ(3723, table[0].nDuration);
    EXPECT_EQ(0x6677u, table[0].dwPadding);
    EXPECT_EQ(0, table[0].nReceived);
    for (int m = 1; m < MONTH_ENTRIES; ++m)
        ExpectZero(table[m]);
}

TEST(MonthLogFile, FileShorterThanTheSaveTimeGivesTimeZero) {
    for (const Bytes& bytes : {Bytes{}, Bytes{0xA0, 0xA0, 0x46}}) {
        MemoryFile file(bytes);
        MonthTable table = SampleTable();
        EXPECT_EQ(0, ReadMonthLog(file, table)) << bytes.size();
        for (int m = 0; m < MONTH_ENTRIES; ++m)
            ExpectZero(table[m]);
    }
}

TEST(MonthLogFile, SaveTimeAfter2038IsUnsigned) {
    MemoryFile out;
    WriteMonthLog(out, 0xF0000000LL, MonthTable{});
    EXPECT_EQ((Bytes{0x00, 0x00, 0x00, 0xF0}), Slice(out.Content(), 0, 4));
    MemoryFile in(out.Content());
    MonthTable table{};
    EXPECT_EQ(0xF0000000LL, ReadMonthLog(in, table));
}

TEST(MonthLogFile, OnDiskRoundTrip) {
    TempPath temp;
    {
        CFile file(temp.Path(), CFile::modeCreate | CFile::modeWrite);
        WriteMonthLog(file, 0x3C47F220, SampleTable());
    }
    CFile file(temp.Path(), CFile::modeRead);
    EXPECT_EQ(316u, file.GetLength());
    MonthTable table{};
    EXPECT_EQ(0x3C47F220, ReadMonthLog(file, table));
    EXPECT_EQ(1572864, table[1].nReceived);
}

namespace {

// A month file unreadable at the start is taken in at the first save after it has become
// readable: its totals as a start would have taken them (none if saved too long ago), with the
// bookings made meanwhile added.
struct CatchUpCase {
    const char* name;
    int savedDaysAgo;
    bool bStoredCounts;
};

void PrintTo(const CatchUpCase& c, std::ostream* os) {
    *os << c.name;
}

const CatchUpCase CATCH_UPS[] = {{"SavedYesterday", 1, true}, {"SavedLongAgo", 100, false}};

class MonthTotalsCatchUp : public ::testing::TestWithParam<CatchUpCase> {};

} // namespace

TEST_P(MonthTotalsCatchUp, TheFileIsKeptWhileUnreadableThenTakenInWithTheBookings) {
    TempFolder folder;
    const std::string path = folder / "mlog.dat";
    const TIME64 now = 1011524400; // 2002-01-20 12:00 in Berlin
    ScopedClock clock(now);
    MonthTable stored{};
    stored[1] = {100, 0, 10, 20};  // January, the current month
    stored[12] = {200, 0, 30, 40}; // last December, kept
    stored[3] = {300, 0, 50, 60};  // last March, cleared
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        WriteMonthLog(file, now - GetParam().savedDaysAgo * 86400, stored);
    }
    const Bytes before = ReadFileBytes(path);
    auto holder = std::make_unique<CFile>(path, CFile::modeRead | CFile::shareExclusive);

    CMonthTotals totals;
    totals.SetPath(path);
    TIME64 saveTime = 0;
    ASSERT_EQ(CMonthTotals::Start::unreadable, totals.Load(saveTime));
    EXPECT_EQ(0, totals.Entry(1).nReceived);
    totals.Book(CConnectionInfo(now - 600, 60, 1000, 2000));
    EXPECT_FALSE(totals.Save());
    EXPECT_TRUE(totals.IsUnsaved());
    holder.reset();
    EXPECT_EQ(before, ReadFileBytes(path));

    ASSERT_TRUE(totals.Save());
    EXPECT_FALSE(totals.IsUnsaved());
    MonthTable saved{};
    CFile file(path, CFile::modeRead);
    EXPECT_EQ(now, ReadMonthLog(file, saved));
    const bool bStored = GetParam().bStoredCounts;
    EXPECT_EQ(60 + (bStored ? 100 : 0), saved[1].nDuration);
    EXPECT_EQ(1000 + (bStored ? 10 : 0), saved[1].nReceived);
    EXPECT_EQ(2000 + (bStored ? 20 : 0), saved[1].nSent);
    EXPECT_EQ(bStored ? 30 : 0, saved[12].nReceived);
    ExpectZero(saved[3]);
}

INSTANTIATE_TEST_SUITE_P(MonthFile, MonthTotalsCatchUp, ::testing::ValuesIn(CATCH_UPS), RowName());
