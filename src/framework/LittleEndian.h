#pragma once
// Little-endian byte images of integers, independent of the machine's own byte order.
#include <cstddef>
#include <cstdint>

namespace fw {

// Writes the low `size` bytes of value, least significant first.
inline void PutLittleEndian(unsigned char* bytes, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Reads `size` bytes, least significant first.
inline std::uint64_t GetLittleEndian(const unsigned char* bytes, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return value;
}

} // namespace fw
