#include "framework/CArchive.h"
#include "support/MemoryFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using Bytes = std::vector<unsigned char>;

namespace {

template <typename Store> Bytes Stored(Store store) {
    MemoryFile file;
    CArchive ar(file, CArchive::store);
    store(ar);
    ar.Close();
    return file.Content();
}

Bytes StoredCount(std::uint32_t count) {
    return Stored([&](CArchive& ar) { ar.WriteCount(count); });
}

std::uint32_t LoadedCount(const Bytes& bytes) {
    MemoryFile file(bytes);
    CArchive ar(file, CArchive::load);
    return ar.ReadCount();
}

} // namespace

TEST(ArchiveIntegers, StoredLittleEndianInTheirOwnWidth) {
    const Bytes bytes = Stored([](CArchive& ar) {
        ar << std::uint16_t(0x1234) << 0x11223344ul << -2l << 0x0102030405060708ll;
    });
    EXPECT_EQ(
        (Bytes{0x34, 0x12, 0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0xFF, 0xFF, 8, 7, 6, 5, 4, 3, 2, 1}),
        bytes);
}

TEST(ArchiveIntegers, LoadedBackWithSign) {
    MemoryFile file(
        Bytes{0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x80});
    CArchive ar(file, CArchive::load);
    std::uint16_t word = 0;
    long long value = 0;
    unsigned long dword = 0;
    ar >> word >> value >> dword;
    EXPECT_EQ(0x1234, word);
    EXPECT_EQ(-0x7F00000000000002ll, value);
    EXPECT_EQ(0x80000000ul, dword);
}

TEST(ArchiveCount, ShortAndLongForm) {
    EXPECT_EQ((Bytes{0x00, 0x00}), StoredCount(0));
    EXPECT_EQ((Bytes{0xFE, 0xFF}), StoredCount(65534));
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}), StoredCount(65535));
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}), StoredCount(0x12345678));
}

TEST(ArchiveCount, ReadBackInBothForms) {
    for (std::uint32_t count : {0u, 1u, 65534u, 65535u, 65536u, 0xFFFFFFFFu})
        EXPECT_EQ(count, LoadedCount(StoredCount(count))) << count;
}

TEST(ArchiveCount, LongFormCutShortIsEndOfFile) {
    EXPECT_THROW(LoadedCount(Bytes{0xFF, 0xFF, 0x01, 0x00}), CArchiveException);
    EXPECT_THROW(LoadedCount(Bytes{0x05}), CArchiveException);
}

TEST(ArchiveBuffer, FileSeesWholeBuffersAndTheRestAtClose) {
    MemoryFile file;
    CArchive ar(file, CArchive::store);
    for (int i = 0; i < 2047; ++i)
        ar << std::uint16_t(i); // 4,094 bytes
    EXPECT_TRUE(file.WriteSizes().empty());
    ar << 0xA1B2C3D4ul << 0x1122334455667788ll; // crosses offset 4,096
    EXPECT_EQ(std::vector<unsigned>{4096}, file.WriteSizes());
    ar.Close();
    EXPECT_EQ((std::vector<unsigned>{4096, 10}), file.WriteSizes());

    const Bytes& bytes = file.Content();
    ASSERT_EQ(4106u, bytes.size());
    EXPECT_EQ((Bytes{0xFE, 0x07}), Bytes(bytes.begin() + 4092, bytes.begin() + 4094));
    EXPECT_EQ((Bytes{0xD4, 0xC3, 0xB2, 0xA1, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}),
              Bytes(bytes.begin() + 4094, bytes.end()));
}

TEST(ArchiveBuffer, ValueAcrossTheBufferBoundaryLoadsWhole) {
    Bytes bytes(4094, 0);
    bytes.insert(bytes.end(), {0xD4, 0xC3, 0xB2, 0xA1, 0x99});
    MemoryFile file(bytes);
    CArchive ar(file, CArchive::load);
    Bytes skipped(4094);
    EXPECT_EQ(4094u, ar.Read(skipped.data(), 4094));
    unsigned long value = 0;
    ar >> value;
    EXPECT_EQ(0xA1B2C3D4ul, value);
    EXPECT_EQ((std::vector<unsigned>{4096, 4096}), file.ReadSizes());
}

TEST(ArchiveBuffer, LargeBlocksPassThroughTheBuffer) {
    Bytes block(10000);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i * 7);
    MemoryFile file;
    CArchive ar(file, CArchive::store);
    ar.Write(block.data(), static_cast<unsigned>(block.size()));
    ar.Close();
    EXPECT_EQ(block, file.Content());

    MemoryFile source(block);
    CArchive in(source, CArchive::load);
    Bytes read(10000);
    EXPECT_EQ(10000u, in.Read(read.data(), 10000));
    EXPECT_EQ(block, read);
}

// What fills the buffer goes first; whole buffers' worth of the rest go to the file in one
// write, straight from the caller's memory, and the remainder waits in the buffer.
TEST(ArchiveBuffer, LargeBlocksReachTheFileInWholeBuffersInOneWrite) {
    Bytes block(20000);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i * 13 + i / 256);
    MemoryFile file;
    CArchive ar(file, CArchive::store);
    ar.Write(block.data(), 100);
    ar.Write(block.data() + 100, 19900);
    EXPECT_EQ((std::vector<unsigned>{4096, 12288}), file.WriteSizes());
    ar.Write(block.data(), 4000); // 3,616 waiting: 480 more fill the buffer
    EXPECT_EQ((std::vector<unsigned>{4096, 12288, 4096}), file.WriteSizes());
    ar.Close();
    EXPECT_EQ((std::vector<unsigned>{4096, 12288, 4096, 3520}), file.WriteSizes());

    Bytes expected = block;
    expected.insert(expected.end(), block.begin(), block.begin() + 4000);
    EXPECT_EQ(expected, file.Content());
}

TEST(ArchiveBuffer, NothingReachesTheFileWithoutClose) {
    MemoryFile file;
    {
        CArchive ar(file, CArchive::store);
        ar << 1ul;
    }
    EXPECT_TRUE(file.Content().empty());
}

TEST(ArchiveEndOfFile, RawReadReturnsWhatThereIs) {
    MemoryFile file(Bytes{1, 2, 3});
    CArchive ar(file, CArchive::load);
    unsigned char buffer[10] = {};
    EXPECT_EQ(3u, ar.Read(buffer, 10));
    EXPECT_EQ(0u, ar.Read(buffer, 10));
}

TEST(ArchiveEndOfFile, ExtractionPastTheEndThrowsWithFileName) {
    MemoryFile file(Bytes{1, 2, 3}, "C:\\Tool\\clog.dat");
    CArchive ar(file, CArchive::load);
    unsigned long value = 0;
    try {
        ar >> value;
        FAIL() << "read a DWORD from three bytes";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(CArchiveException::endOfFile, e.GetCause());
        EXPECT_EQ("An attempt was made to access C:\\Tool\\clog.dat past its end.",
                  e.GetErrorMessage());
    }
}

TEST(ArchiveMode, WrongDirectionIsRefused) {
    MemoryFile file(Bytes{1, 2});
    CArchive loading(file, CArchive::load);
    EXPECT_FALSE(loading.IsStoring());
    try {
        loading << 1ul;
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(CArchiveException::readOnly, e.GetCause());
    }
    CArchive storing(file, CArchive::store);
    unsigned char byte = 0;
    try {
        storing.Read(&byte, 1);
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(CArchiveException::writeOnly, e.GetCause());
    }
}

TEST(ArchiveDiskFull, FullDiskHalfWayThroughReportsDiskFull) {
    MemoryFile file({}, "C:\\Tool\\clog.dat");
    file.SetCapacity(5000);
    CArchive ar(file, CArchive::store);
    const Bytes block(6000, 0x55);
    ar.Write(block.data(), 6000); // the first 4,096 bytes fit
    try {
        ar.Close();
        FAIL() << "the rest did not fit";
    } catch (const CFileException& e) {
        EXPECT_EQ(CFileException::diskFull, e.GetCause());
        EXPECT_EQ("Disk full while accessing C:\\Tool\\clog.dat.", e.GetErrorMessage());
    }
    EXPECT_EQ(5000u, file.Content().size());
}

TEST(ArchiveOnDisk, StoredFileLoadsBack) {
    TempPath temp;
    {
        CFile file(temp.Path(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(file, CArchive::store);
        for (unsigned long i = 0; i < 3000; ++i)
            ar << i;
        ar.Close();
    }
    CFile file(temp.Path(), CFile::modeRead);
    EXPECT_EQ(12000u, file.GetLength());
    CArchive ar(file, CArchive::load);
    unsigned long value = 0;
    for (unsigned long i = 0; i < 3000; ++i) {
        ar >> value;
        ASSERT_EQ(i, value);
    }
    EXPECT_THROW(ar >> value, CArchiveException);
}
