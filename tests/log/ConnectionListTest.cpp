#include "RecordFields.h"
#include "support/TableRow.h"
#include "framework/CArchive.h"
#include "log/CConnectionList.h"
#include "support/MemoryFile.h"
#include "support/WorkedExampleFile.h"
#include "support/ScopedClock.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

const RecordFields FIRST = {0x3C46A0A0, 3723, 1572864, 262144};
const RecordFields SECOND = {0x3C47F220, 60, 10000, 2000};

CConnectionList WorkedExampleList() {
    return {CConnectionInfo(FIRST.start, FIRST.duration, FIRST.received, FIRST.sent),
            CConnectionInfo(SECOND.start, SECOND.duration, SECOND.received, SECOND.sent)};
}

Bytes Store(const CConnectionList& list) {
    MemoryFile file;
    CArchive ar(file, CArchive::store);
    StoreConnectionList(ar, list);
    ar.Close();
    return file.Content();
}

CConnectionList Load(const Bytes& bytes) {
    MemoryFile file(bytes, "C:\\Tool\\clog.dat");
    CArchive ar(file, CArchive::load);
    CConnectionList list;
    LoadConnectionList(ar, list);
    return list;
}

// A count of 4,294,967,294 records before the first records of the worked example.
Bytes HugeCountBefore(int records) {
    const Bytes count = {0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF};
    Bytes bytes(count.size() + 48 * records);
    std::copy(count.begin(), count.end(), bytes.begin());
    std::copy_n(WORKED_EXAMPLE.begin() + 2, 48 * records, bytes.begin() + 6);
    return bytes;
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t size) {
    return Bytes(bytes.begin() + from, bytes.begin() + from + size);
}

Bytes WorkedExampleFollowedBy(const Bytes& rest) {
    Bytes bytes = WORKED_EXAMPLE;
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

// The worked example with a count of 5, followed by the first 9 bytes of a third record.
Bytes CountOf5WithACutRecord() {
    Bytes bytes = WorkedExampleFollowedBy({0x18, 0xEA, 0x42, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    bytes[0] = 0x05;
    return bytes;
}

constexpr int END_OF_FILE = -1;
constexpr std::uint64_t FILE_SIZE = ~std::uint64_t(0); // the caller passes the file's own size

struct DamagedFile {
    const char* name;
    Bytes bytes;
    int kept;                      // records of the worked example, or END_OF_FILE
    std::uint64_t streamBytes = 0; // 0: unknown to the caller
    std::uint32_t toAdd = 0;
    std::optional<std::size_t> roomAtLeast = std::nullopt;
    std::optional<std::size_t> roomAtMost = std::nullopt;
};

void PrintTo(const DamagedFile& row, std::ostream* os) {
    *os << row.name;
}

class DamagedConnectionFile : public ::testing::TestWithParam<DamagedFile> {};

// A file of records numbered from 0 whose read stops at byte `readable`.
struct ReadError {
    const char* name;
    int records;
    unsigned readable;
    unsigned bufferSize;
    int kept;
};

void PrintTo(const ReadError& row, std::ostream* os) {
    *os << row.name;
}

class ConnectionFileReadError : public ::testing::TestWithParam<ReadError> {};

} // namespace

TEST(ConnectionFile, WorkedExampleIsStoredByteForByte) {
    EXPECT_EQ(WORKED_EXAMPLE, Store(WorkedExampleList()));
}

TEST(ConnectionFile, WorkedExampleOnDiskIsNinetyEightBytes) {
    TempPath temp;
    {
        CFile file(temp.Path(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(file, CArchive::store);
        StoreConnectionList(ar, WorkedExampleList());
        ar.Close();
    }
    CFile file(temp.Path(), CFile::modeRead);
    Bytes content(200);
    content.resize(file.Read(content.data(), 200));
    EXPECT_EQ(WORKED_EXAMPLE, content);
}

TEST(ConnectionFile, WorkedExampleIsLoaded) {
    const CConnectionList list = Load(WORKED_EXAMPLE);
    ASSERT_EQ(2u, list.size());
    ExpectRecord(list.front(), FIRST);
    ExpectRecord(list.back(), SECOND);
}

TEST(ConnectionFile, EmptyListIsTwoZeroBytes) {
    EXPECT_EQ((Bytes{0x00, 0x00}), Store({}));
    EXPECT_TRUE(Load(Bytes{0x00, 0x00}).empty());
}

TEST(ConnectionFile, CountBelow65535TakesSixteenBits) {
    const CConnectionList list(65534, CConnectionInfo(0x3C46A0A0, 1, 2, 3));
    const Bytes bytes = Store(list);
    ASSERT_EQ(2u + 65534u * 48u, bytes.size());
    EXPECT_EQ((Bytes{0xFE, 0xFF}), Slice(bytes, 0, 2));
    EXPECT_EQ((Bytes{0x18, 0xEA, 0x42, 0x00}), Slice(bytes, 2, 4));
    EXPECT_EQ(65534u, Load(bytes).size());
}

TEST(ConnectionFile, Count65535TakesTheLongForm) {
    CConnectionList list(65534, CConnectionInfo(0x3C46A0A0, 1, 2, 3));
    list.push_back(CConnectionInfo(0x3C47F220, 60, 10000, 2000));
    const Bytes bytes = Store(list);
    ASSERT_EQ(6u + 65535u * 48u, bytes.size());
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}), Slice(bytes, 0, 6));
    EXPECT_EQ(Slice(WORKED_EXAMPLE, 50, 48), Slice(bytes, bytes.size() - 48, 48));

    const CConnectionList loaded = Load(bytes);
    ASSERT_EQ(65535u, loaded.size());
    ExpectRecord(loaded.back(), SECOND);
}

TEST(ConnectionFile, TagPaddingAndStartReadingsAreDroppedAndWrittenFixed) {
    Bytes odd = WORKED_EXAMPLE;
    for (std::size_t i : {2u, 3u, 4u, 5u}) // tag
        odd[i] = 0xAB;
    odd[14] = 0x7F;                       // padding
    for (std::size_t i = 34; i < 50; ++i) // start readings
        odd[i] = static_cast<unsigned char>(i);

    const CConnectionList list = Load(odd);
    ASSERT_EQ(2u, list.size());
    ExpectRecord(list.front(), FIRST);
    EXPECT_EQ(WORKED_EXAMPLE, Store(list));
}

TEST(ConnectionFile, StartReadingsOfARecordAreNeverWritten) {
    CConnectionInfo running(0x3C46A0A0, 3723, 1572864, 262144);
    running.m_nReceivedStart = 5000;
    running.m_nSentStart = 7000;
    CConnectionList list;
    list.push_back(running);
    EXPECT_EQ(Bytes(16, 0), Slice(Store(list), 34, 16));
}

// A damaged file and what loading it keeps: the first records of the worked example, or an
// archive end-of-file error. A caller that knows the stream's size passes it, and room is made
// for the records it can hold (never for those a damaged count makes up) and those to be added.
TEST_P(DamagedConnectionFile, LoadsOnlyTheCompleteRecords) {
    const DamagedFile& row = GetParam();
    ScopedClock clock(0x40000000); // would stamp records made up for the count
    MemoryFile file(row.bytes, "C:\\Tool\\clog.dat");
    CArchive ar(file, CArchive::load);
    CConnectionList list;
    const std::uint64_t streamBytes =
        row.streamBytes == FILE_SIZE ? row.bytes.size() : row.streamBytes;
    if (row.kept == END_OF_FILE) {
        try {
            LoadConnectionList(ar, list, streamBytes, row.toAdd);
            FAIL() << "no error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(CArchiveException::endOfFile, e.GetCause());
            EXPECT_EQ("An attempt was made to access C:\\Tool\\clog.dat past its end.",
                      e.GetErrorMessage());
        }
        return;
    }
    LoadConnectionList(ar, list, streamBytes, row.toAdd);
    ASSERT_EQ(static_cast<std::size_t>(row.kept), list.size());
    const RecordFields workedExample[] = {FIRST, SECOND};
    for (std::size_t i = 0; i < list.size(); ++i)
        ExpectRecord(list[i], workedExample[i]);
    if (row.roomAtLeast) {
        EXPECT_LE(*row.roomAtLeast, list.capacity());
    }
    if (row.roomAtMost) {
        EXPECT_LE(list.capacity(), *row.roomAtMost);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ConnectionFileEnd, DamagedConnectionFile,
    ::testing::Values(
        DamagedFile{"FileOfZeroBytesIsEndOfFile", Bytes{}, END_OF_FILE},
        DamagedFile{"FileOfOneByteIsEndOfFile", Bytes{0x02}, END_OF_FILE},
        DamagedFile{"LongCountCutShortIsEndOfFile", Bytes{0xFF, 0xFF, 0x05, 0x00}, END_OF_FILE},
        DamagedFile{"CountPromisingMoreKeepsOnlyCompleteRecords", CountOf5WithACutRecord(), 2},
        DamagedFile{"HugeDamagedCountBuildsNothingUnread", HugeCountBefore(1), 1},
        // room for what the stream can hold, not for the count
        DamagedFile{
            "RoomIsMadeForTheRecordsTheStreamCanHold", HugeCountBefore(2), 2, FILE_SIZE, 0, {}, 2},
        // room for those to add on top of those the count promises and the stream can hold,
        // however long the stream is behind them
        DamagedFile{"RoomForRecordsToAddFollowsTheCountNotTheStreamsLength",
                    WorkedExampleFollowedBy(Bytes(1000 * 48, 0)), 2, FILE_SIZE, 1, 3, 3},
        // a size larger than memory could ever hold leaves the list to grow as it reads
        DamagedFile{"ASizeBeyondWhatMemoryCanHoldIsOnlyAHint", HugeCountBefore(2), 2,
                    std::uint64_t(1) << 40}),
    RowName());

// The records pass through the archive in blocks; a file of several blocks, cut inside one.
TEST(ConnectionFileEnd, ManyRecordsRoundTripAndACutInsideABlockKeepsThoseBefore) {
    constexpr int COUNT = 2500;
    CConnectionList many;
    for (int i = 0; i < COUNT; ++i)
        many.emplace_back(0x3C46A0A0 + 3600 * i, i, 1000LL * i, 7LL * i);
    Bytes bytes = Store(many);
    ASSERT_EQ(2u + COUNT * 48u, bytes.size());
    const CConnectionList loaded = Load(bytes);
    ASSERT_EQ(static_cast<std::size_t>(COUNT), loaded.size());
    for (int i = 0; i < COUNT; i += 43)
        ExpectRecord(loaded[i], {0x3C46A0A0 + 3600 * i, i, 1000LL * i, 7LL * i});
    ExpectRecord(loaded.back(), {0x3C46A0A0 + 3600 * (COUNT - 1), COUNT - 1, 1000LL * (COUNT - 1),
                                 7LL * (COUNT - 1)});

    bytes.resize(2 + 1100 * 48 + 20);
    const CConnectionList cut = Load(bytes);
    ASSERT_EQ(1100u, cut.size());
    ExpectRecord(cut.back(), {0x3C46A0A0 + 3600 * 1099, 1099, 1099000, 7693});
}

// A long list reaches the file in whole archive buffers, however its blocks fall.
TEST(ConnectionFile, ALongListReachesTheFileInWholeBuffers) {
    CConnectionList many(3000, CConnectionInfo(0x3C46A0A0, 1, 2, 3));
    MemoryFile file;
    CArchive ar(file, CArchive::store);
    StoreConnectionList(ar, many);
    ar.Close();
    ASSERT_EQ(2u + 3000 * 48u, file.Content().size());
    const std::vector<unsigned>& sizes = file.WriteSizes();
    ASSERT_LT(1u, sizes.size());
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i)
        EXPECT_EQ(0u, sizes[i] % CArchive::DEFAULT_BUFFER_SIZE) << i;
    EXPECT_LT(sizes.size(), file.Content().size() / CArchive::DEFAULT_BUFFER_SIZE);
}

// A read of the file that fails keeps the records read before it; records are taken from the
// archive's buffer in blocks, so those the buffer held when the next read failed are all kept.
TEST_P(ConnectionFileReadError, KeepsTheRecordsReadBeforeIt) {
    const ReadError& row = GetParam();
    CConnectionList many;
    for (int i = 0; i < row.records; ++i)
        many.emplace_back(0x3C46A0A0 + i, i, i, i);
    MemoryFile file(Store(many), "C:\\Tool\\clog.dat");
    file.SetReadable(row.readable);
    CArchive ar(file, CArchive::load, row.bufferSize);
    CConnectionList list;
    EXPECT_THROW(LoadConnectionList(ar, list, file.Content().size()), CFileException);
    ASSERT_EQ(static_cast<std::size_t>(row.kept), list.size());
    const int last = row.kept - 1;
    ExpectRecord(list.back(), {0x3C46A0A0 + last, last, last, last});
}

INSTANTIATE_TEST_SUITE_P(
    ConnectionFileEnd, ConnectionFileReadError,
    ::testing::Values(
        // the archive's read of bytes 3,300 to 3,399 fails; 68 records end before byte 3,300
        ReadError{"AReadErrorKeepsTheRecordsReadBeforeIt", 130, 3399, 100, 68},
        // the second read, of bytes 4,096 to 8,191, fails; 85 records end before byte 4,096
        ReadError{"AReadErrorKeepsEveryRecordOfTheBufferBeforeIt", 200, 8191,
                  CArchive::DEFAULT_BUFFER_SIZE, 85}),
    RowName());

TEST(ConnectionFileEnd, LoadingAppendsAtTheTail) {
    MemoryFile file(WORKED_EXAMPLE);
    CArchive ar(file, CArchive::load);
    CConnectionList list{CConnectionInfo(1, 2, 3, 4)};
    LoadConnectionList(ar, list);
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ(1, list.front().m_timeStart);
    EXPECT_EQ(0x3C47F220, list.back().m_timeStart);
}

// Starts are unsigned 32-bit seconds in the file: 2038-01-19 03:14:08 UTC and later keep
// their meaning until 2106.
TEST(ConnectionFileTime, StartsAfter2038RoundTripUnsigned) {
    const TIME64 after2038 = 0x80000000LL; // 2038-01-19 03:14:08 UTC
    const TIME64 in2097 = 0xF0000000LL;    // 2097-08-05
    const TIME64 last = 0xFFFFFFFFLL;      // 2106-02-07 06:28:15 UTC
    const Bytes bytes = Store({CConnectionInfo(after2038, 1, 0, 0),
                               CConnectionInfo(in2097, 2, 0, 0), CConnectionInfo(last, 3, 0, 0)});
    EXPECT_EQ((Bytes{0x00, 0x00, 0x00, 0x80}), Slice(bytes, 6, 4));
    EXPECT_EQ((Bytes{0x00, 0x00, 0x00, 0xF0}), Slice(bytes, 54, 4));
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF}), Slice(bytes, 102, 4));

    const CConnectionList list = Load(bytes);
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ(after2038, list.front().m_timeStart);
    EXPECT_EQ(in2097, std::next(list.begin())->m_timeStart);
    EXPECT_EQ(last, list.back().m_timeStart);
}

TEST(ConnectionFileTime, NegativeDurationAndVolumesKeepTheirSign) {
    const Bytes bytes = Store({CConnectionInfo(0x3C46A0A0, -5, -1048576, -1)});
    EXPECT_EQ((Bytes{0xFB, 0xFF, 0xFF, 0xFF}), Slice(bytes, 10, 4));
    const CConnectionList list = Load(bytes);
    ASSERT_EQ(1u, list.size());
    ExpectRecord(list.front(), {0x3C46A0A0, -5, -1048576, -1});
}
