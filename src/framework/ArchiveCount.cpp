#include "framework/ArchiveCount.h"

#include "framework/LittleEndian.h"

namespace fw {

COUNT_HEADER DecodeCount(const unsigned char* bytes, unsigned available) {
    if (available < SHORT_COUNT_SIZE)
        return {0, 0};
    const auto shortCount = static_cast<std::uint16_t>(GetLittleEndian(bytes, SHORT_COUNT_SIZE));
    if (shortCount != COUNT_ESCAPE)
        return {shortCount, SHORT_COUNT_SIZE};
    if (available < LONG_COUNT_SIZE)
        return {0, 0};
    return {GetLittleEndian32(bytes + SHORT_COUNT_SIZE), LONG_COUNT_SIZE};
}

} // namespace fw
