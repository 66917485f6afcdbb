#include "log/CConnectionList.h"

#include "framework/CArchive.h"
#include "framework/CMemoryException.h"

#include <new>

void StoreConnectionList(CArchive& ar, const CConnectionList& list) {
    ar.WriteCount(static_cast<std::uint32_t>(list.size()));
    unsigned char image[CConnectionInfo::IMAGE_SIZE];
    for (const CConnectionInfo& info : list) {
        info.StoreImage(image);
        ar.Write(image, sizeof image);
    }
}

void LoadConnectionList(CArchive& ar, CConnectionList& list) {
    const std::uint32_t count = ar.ReadCount();
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
