#include "log/CConnectionList.h"

#include "framework/ArchiveCount.h"
#include "framework/CArchive.h"
#include "framework/CFile.h"
#include "framework/CMemoryException.h"

#include <algorithm>
#include <exception>
#include <new>

namespace {

// Records go into the archive in blocks of whole archive buffers, which pass straight to the
// file: one call per record would cost more than its bytes.
constexpr std::uint32_t STORE_BLOCK_RECORDS = 1024;
// Records are taken from the archive's buffer a block at a time.
constexpr std::uint32_t LOAD_BLOCK_RECORDS = 64;

// Room made at once spares the copies of a growing list; it is only a hint, so a list that
// cannot get it grows record by record and meets the real limit there.
void ReserveFor(CConnectionList& list, std::uint64_t records) {
    if (records == 0 || records > list.max_size() - list.size())
        return;
    try {
        list.reserve(list.size() + static_cast<std::size_t>(records));
    } catch (const std::exception&) {
    }
}

// A block of images for storing; out of memory is the framework's exception.
std::vector<unsigned char> ImageBlock(std::size_t records) {
    try {
        return std::vector<unsigned char>(records * CConnectionInfo::IMAGE_SIZE);
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
}

} // namespace

void StoreConnectionList(CArchive& ar, const CConnectionList& list) {
    ar.WriteCount(static_cast<std::uint32_t>(list.size()));
    const std::size_t blockRecords = std::min<std::size_t>(list.size(), STORE_BLOCK_RECORDS);
    std::vector<unsigned char> block = ImageBlock(blockRecords);
    auto* image = reinterpret_cast<unsigned char(*)[CConnectionInfo::IMAGE_SIZE]>(block.data());
    std::size_t used = 0;
    for (const CConnectionInfo& info : list) {
        info.StoreImage(image[used]);
        if (++used == blockRecords) {
            ar.Write(block.data(), static_cast<unsigned>(block.size()));
            used = 0;
        }
    }
    ar.Write(block.data(), static_cast<unsigned>(used * CConnectionInfo::IMAGE_SIZE));
}

void LoadConnectionList(CArchive& ar, CConnectionList& list, std::uint64_t nStreamBytes,
                        std::uint32_t nRecordsToAdd) {
    constexpr unsigned IMAGE_SIZE = CConnectionInfo::IMAGE_SIZE;
    const std::uint32_t count = ar.ReadCount();
    ReserveFor(list, std::min<std::uint64_t>(count, nStreamBytes / IMAGE_SIZE) + nRecordsToAdd);
    unsigned char block[LOAD_BLOCK_RECORDS][IMAGE_SIZE];
    for (std::uint32_t left = count; left > 0;) {
        // Records wholly in the archive's buffer come without a read of the file. The others
        // come one by one, so that what was read before a read error stays in the list.
        const auto buffered = static_cast<std::uint32_t>(
            std::min<std::size_t>(ar.GetBufferedCount() / IMAGE_SIZE, LOAD_BLOCK_RECORDS));
        const std::uint32_t wanted = std::max(1u, std::min(left, buffered));
        const unsigned complete = ar.Read(block, wanted * IMAGE_SIZE) / IMAGE_SIZE;
        try {
            for (unsigned i = 0; i < complete; ++i)
                list.push_back(CConnectionInfo::FromImage(block[i]));
        } catch (const std::bad_alloc&) {
            throw CMemoryException();
        }
        if (complete < wanted)
            return;
        left -= wanted;
    }
}

CConnectionList ReadLastConnections(CFile& file,
                                    const std::function<bool(const CConnectionInfo&)>& wanted) {
    constexpr unsigned IMAGE_SIZE = CConnectionInfo::IMAGE_SIZE;
    unsigned char head[fw::LONG_COUNT_SIZE] = {};
    const fw::COUNT_HEADER header = fw::DecodeCount(head, file.Read(head, sizeof head));
    const std::uint64_t count = header.nCount;
    const std::uint64_t headSize = header.nSize;
    CConnectionList found;
    if (count == 0 || file.GetLength() != headSize + count * IMAGE_SIZE)
        return found;
    for (std::uint64_t index = count; index-- > 0;) {
        unsigned char image[IMAGE_SIZE] = {};
        file.Seek(static_cast<std::int64_t>(headSize + index * IMAGE_SIZE), CFile::begin);
        if (file.Read(image, IMAGE_SIZE) < IMAGE_SIZE)
            break;
        CConnectionInfo info = CConnectionInfo::FromImage(image);
        if (!wanted(info))
            break;
        found.insert(found.begin(), info);
    }
    return found;
}
