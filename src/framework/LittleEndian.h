#pragma once
// Little-endian byte images of integers, independent of the machine's own byte order.
#include <cstddef>
#include <cstdint>

namespace fw {

// Four bytes in 32-bit arithmetic, which the compiler turns into a single move; a 32-bit
// processor works through a 64-bit shift a byte at a time.
inline void PutLittleEndian32(unsigned char* bytes, std::uint32_t value) {
    bytes[0] = static_cast<unsigned char>(value);
    bytes[1] = static_cast<unsigned char>(value >> 8);
    bytes[2] = static_cast<unsigned char>(value >> 16);
    bytes[3] = static_cast<unsigned char>(value >> 24);
}

inline std::uint32_t GetLittleEndian32(const unsigned char* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

// Writes the low `size` bytes of value, least significant first.
inline void PutLittleEndian(unsigned char* bytes, std::uint64_t value, std::size_t size) {
    if (size == 4 || size == 8) {
        PutLittleEndian32(bytes, static_cast<std::uint32_t>(value));
        if (size == 8)
            PutLittleEndian32(bytes + 4, static_cast<std::uint32_t>(value >> 32));
        return;
    }
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Reads `size` bytes, least significant first.
inline std::uint64_t GetLittleEndian(const unsigned char* bytes, std::size_t size) {
    if (size == 4)
        return GetLittleEndian32(bytes);
    if (size == 8)
        return GetLittleEndian32(bytes) | std::uint64_t(GetLittleEndian32(bytes + 4)) << 32;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return value;
}

} // namespace fw
