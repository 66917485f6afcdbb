#pragma once
// How an archive stores a count: below 0xFFFF in 16 bits, larger ones as 0xFFFF followed by the
// count in 32 bits, little-endian either way.
#include <cstdint>

namespace fw {

constexpr std::uint16_t COUNT_ESCAPE = 0xFFFF;
constexpr unsigned SHORT_COUNT_SIZE = 2;
constexpr unsigned LONG_COUNT_SIZE = 6;

// A count and the bytes it took.
struct COUNT_HEADER {
    std::uint32_t nCount;
    unsigned nSize; // 0 where the bytes end before the count does
};

// The count at the start of bytes, of which available are there.
COUNT_HEADER DecodeCount(const unsigned char* bytes, unsigned available);

} // namespace fw
