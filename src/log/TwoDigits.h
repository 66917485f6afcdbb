#pragma once
// Two decimal digits of a value below 100, as "%02d" writes them, from a table: one lookup
// instead of a division by ten, for texts made by the tens of thousands.
#include <cstdint>

namespace TwoDigitsDetail {
struct Table {
    char text[200];
    constexpr Table() : text() {
        for (int i = 0; i < 100; ++i) {
            text[2 * i] = static_cast<char>('0' + i / 10);
            text[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
    }
};
inline constexpr Table TABLE;
} // namespace TwoDigitsDetail

// Writes the two digits of value (0 to 99) at out and returns the place after them.
inline char* PutTwoDigits(char* out, std::uint32_t value) {
    out[0] = TwoDigitsDetail::TABLE.text[2 * value];
    out[1] = TwoDigitsDetail::TABLE.text[2 * value + 1];
    return out + 2;
}
