#pragma once
// Walks a list of NUL-ended strings that ends with an empty string, as the registry and the
// performance data helper hand them out. The walk never reads past cch characters, so that a
// list without its final terminator cannot lead it astray.
#include <cstddef>
#include <string>

// Calls visit(name) for each string until visit returns false or the list ends.
template <typename Visitor> void ForEachString(const char* list, size_t cch, Visitor visit) {
    if (!list)
        return;
    size_t pos = 0;
    while (pos < cch && list[pos] != '\0') {
        size_t end = pos;
        while (end < cch && list[end] != '\0')
            ++end;
        if (!visit(std::string(list + pos, end - pos)))
            return;
        pos = end + 1;
    }
}
