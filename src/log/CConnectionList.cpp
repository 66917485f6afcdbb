#include "log/CConnectionList.h"

#include "framework/CArchive.h"
#include "framework/CMemoryException.h"

#include <algorithm>
#include <new>

namespace {

// Records go through the archive in blocks: one call per record would cost more than its bytes.
constexpr std::uint32_t BLOCK_RECORDS = 64;
using ImageBlock = unsigned char[BLOCK_RECORDS][CConnectionInfo::IMAGE_SIZE];

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
    std::uint32_t remaining = ar.ReadCount();
    ImageBlock block;
    try {
        if (nStreamBytes > 0)
            list.reserve(list.size() + static_cast<std::size_t>(std::min<std::uint64_t>(
                                           remaining, nStreamBytes / CConnectionInfo::IMAGE_SIZE)));
        while (remaining > 0) {
            const std::uint32_t wanted = std::min(remaining, BLOCK_RECORDS);
            const unsigned got =
                ar.Read(block, wanted * CConnectionInfo::IMAGE_SIZE) / CConnectionInfo::IMAGE_SIZE;
            for (unsigned i = 0; i < got; ++i)
                list.push_back(CConnectionInfo::FromImage(block[i]));
            if (got < wanted)
                return;
            remaining -= wanted;
        }
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
}
