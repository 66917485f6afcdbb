#include "log/CConnectionList.h"

#include "framework/CArchive.h"
#include "framework/CMemoryException.h"

#include <algorithm>
#include <exception>
#include <new>

namespace {

// Records go into the archive in blocks: one call per record would cost more than its bytes.
constexpr std::uint32_t BLOCK_RECORDS = 64;
using ImageBlock = unsigned char[BLOCK_RECORDS][CConnectionInfo::IMAGE_SIZE];

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

} // namespace

void StoreConnectionList(CArchive& ar, const CConnectionList& list) {
    ar.WriteCount(static_cast<std::uint32_t>(list.size()));
    ImageBlock block;
    unsigned used = 0;
    for (const CConnectionInfo& info : list) {
        info.StoreImage(block[used]);
        if (++used == BLOCK_RECORDS) {
            ar.Write(block, sizeof block);
            used = 0;
        }
    }
    ar.Write(block, used * CConnectionInfo::IMAGE_SIZE);
}

void LoadConnectionList(CArchive& ar, CConnectionList& list, std::uint64_t nStreamBytes) {
    const std::uint32_t count = ar.ReadCount();
    ReserveFor(list, std::min<std::uint64_t>(count, nStreamBytes / CConnectionInfo::IMAGE_SIZE));
    // Record by record: what was read before a read error stays in the list.
    unsigned char image[CConnectionInfo::IMAGE_SIZE];
    for (std::uint32_t i = 0; i < count; ++i) {
        if (ar.Read(image, sizeof image) != sizeof image)
            return;
        try {
            list.push_back(CConnectionInfo::FromImage(image));
        } catch (const std::bad_alloc&) {
            throw CMemoryException();
        }
    }
}
