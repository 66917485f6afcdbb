#pragma once
// Answers a read of one value of the user's locale as GetLocaleInfoA does, for the readers that
// tests hand to CNumberFormat: with size 0 the size the value needs, otherwise the characters
// written with the terminating zero, or 0 when the buffer is too small.
#include <cstring>

inline int AnswerLocaleRead(const char* value, char* buffer, int size) {
    const int needed = static_cast<int>(std::strlen(value)) + 1;
    if (size == 0)
        return needed;
    if (size < needed)
        return 0;
    std::memcpy(buffer, value, static_cast<std::size_t>(needed));
    return needed;
}
