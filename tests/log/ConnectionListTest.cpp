#include "framework/CArchive.h"
#include "log/CConnectionList.h"
#include "support/MemoryFile.h"
#include "support/WorkedExampleFile.h"
#include "support/ScopedClock.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

CConnectionList WorkedExampleList() {
    return {CConnectionInfo(0x3C46A0A0, 3723, 1572864, 262144),
            CConnectionInfo(0x3C47F220, 60, 10000, 2000)};
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

void ExpectRecord(const CConnectionInfo& info, TIME64 start, std::int32_t duration,
                  std::int64_t received, std::int64_t sent) {
    EXPECT_EQ(start, info.m_timeStart);
    EXPECT_EQ(duration, info.m_nDuration);
    EXPECT_EQ(received, info.m_nReceived);
    EXPECT_EQ(sent, info.m_nSent);
    EXPECT_EQ(0, info.m_nReceivedStart);
    EXPECT_EQ(0, info.m_nSentStart);
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
    ExpectRecord(list.front(), 0x3C46A0A0, 3723, 1572864, 262144);
    ExpectRecord(list.back(), 0x3C47F220, 60, 10000, 2000);
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
    ExpectRecord(loaded.back(), 0x3C47F220, 60, 10000, 2000);
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
    ExpectRecord(list.front(), 0x3C46A0A0, 3723, 1572864, 262144);
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

TEST(ConnectionFileEnd, FileOfZeroOrOneByteIsEndOfFile) {
    for (const Bytes& bytes : {Bytes{}, Bytes{0x02}}) {
        try {
            Load(bytes);
            FAIL() << bytes.size() << " bytes gave no error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(CArchiveException::endOfFile, e.GetCause());
            EXPECT_EQ("An attempt was made to access C:\\Tool\\clog.dat past its end.",
                      e.GetErrorMessage());
        }
    }
}

TEST(ConnectionFileEnd, LongCountCutShortIsEndOfFile) {
    EXPECT_THROW(Load(Bytes{0xFF, 0xFF, 0x05, 0x00}), CArchiveException);
}

// A count that promises more than the file holds yields the complete records only: no
// default records stamped with the load time, no half record.
TEST(ConnectionFileEnd, CountPromisingMoreKeepsOnlyCompleteRecords) {
    ScopedClock clock(0x40000000);
    Bytes bytes = WORKED_EXAMPLE;
    bytes[0] = 0x05;
    bytes.insert(bytes.end(), {0x18, 0xEA, 0x42, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55}); // cut short

    const CConnectionList list = Load(bytes);
    ASSERT_EQ(2u, list.size());
    ExpectRecord(list.front(), 0x3C46A0A0, 3723, 1572864, 262144);
    ExpectRecord(list.back(), 0x3C47F220, 60, 10000, 2000);
}

TEST(ConnectionFileEnd, HugeDamagedCountBuildsNothingUnread) {
    const CConnectionList list = Load(HugeCountBefore(1));
    ASSERT_EQ(1u, list.size());
    ExpectRecord(list.front(), 0x3C46A0A0, 3723, 1572864, 262144);
}

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
        ExpectRecord(loaded[i], 0x3C46A0A0 + 3600 * i, i, 1000LL * i, 7LL * i);
    ExpectRecord(loaded.back(), 0x3C46A0A0 + 3600 * (COUNT - 1), COUNT - 1, 1000LL * (COUNT - 1),
                 7LL * (COUNT - 1));

    bytes.resize(2 + 1100 * 48 + 20);
    const CConnectionList cut = Load(bytes);
    ASSERT_EQ(1100u, cut.size());
    ExpectRecord(cut.back(), 0x3C46A0A0 + 3600 * 1099, 1099, 1099000, 7693);
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

// A caller that knows the stream's size has room made for what it can hold, not for the count.
TEST(ConnectionFileEnd, RoomIsMadeForTheRecordsTheStreamCanHold) {
    const Bytes bytes = HugeCountBefore(2);
    MemoryFile file(bytes, "C:\\Tool\\clog.dat");
    CArchive ar(file, CArchive::load);
    CConnectionList list;
    LoadConnectionList(ar, list, bytes.size());
    EXPECT_EQ(2u, list.size());
    EXPECT_LE(list.capacity(), 2u);
}

// Room for the records a caller is going to add comes on top of those the count promises and
// the stream can hold, however long the stream is behind them.
TEST(ConnectionFileEnd, RoomForRecordsToAddFollowsTheCountNotTheStreamsLength) {
    Bytes bytes = WORKED_EXAMPLE;
    bytes.resize(bytes.size() + 1000 * 48);
    MemoryFile file(bytes, "C:\\Tool\\clog.dat");
    CArchive ar(file, CArchive::load);
    CConnectionList list;
    LoadConnectionList(ar, list, bytes.size(), 1);
    EXPECT_EQ(2u, list.size());
    EXPECT_EQ(3u, list.capacity());
}

TEST(ConnectionFileEnd, AReadErrorKeepsTheRecordsReadBeforeIt) {
    CConnectionList many;
    for (int i = 0; i < 130; ++i)
        many.emplace_back(0x3C46A0A0 + i, i, i, i);
    MemoryFile file(Store(many), "C:\\Tool\\clog.dat");
    file.SetReadable(3399); // the archive's read of bytes 3,300 to 3,399 fails
    CArchive ar(file, CArchive::load, 100);
    CConnectionList list;
    EXPECT_THROW(LoadConnectionList(ar, list, file.Content().size()), CFileException);
    ASSERT_EQ(68u, list.size()); // the records that end before byte 3,300
    ExpectRecord(list.back(), 0x3C46A0A0 + 67, 67, 67, 67);
}

// Records are taken from the archive's buffer in blocks: those the buffer held when the next
// read of the file failed are all kept.
TEST(ConnectionFileEnd, AReadErrorKeepsEveryRecordOfTheBufferBeforeIt) {
    CConnectionList many;
    for (int i = 0; i < 200; ++i)
        many.emplace_back(0x3C46A0A0 + i, i, i, i);
    MemoryFile file(Store(many), "C:\\Tool\\clog.dat");
    file.SetReadable(8191); // the second read, of bytes 4,096 to 8,191, fails
    CArchive ar(file, CArchive::load);
    CConnectionList list;
    EXPECT_THROW(LoadConnectionList(ar, list, file.Content().size()), CFileException);
    ASSERT_EQ(85u, list.size()); // the records that end before byte 4,096
    ExpectRecord(list.back(), 0x3C46A0A0 + 84, 84, 84, 84);
}

// The size is a hint: one larger than memory could ever hold leaves the list to grow as it reads.
TEST(ConnectionFileEnd, ASizeBeyondWhatMemoryCanHoldIsOnlyAHint) {
    const Bytes bytes = HugeCountBefore(2);
    MemoryFile file(bytes, "C:\\Tool\\clog.dat");
    CArchive ar(file, CArchive::load);
    CConnectionList list;
    LoadConnectionList(ar, list, std::uint64_t(1) << 40);
    EXPECT_EQ(2u, list.size());
}

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
    ExpectRecord(list.front(), 0x3C46A0A0, -5, -1048576, -1);
}
