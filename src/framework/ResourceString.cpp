#include "framework/ResourceString.h"

#include <windows.h>

namespace fw {

std::string LoadResourceString(unsigned id) {
    // A string table entry holds at most 4097 characters; ours are far shorter.
    char buffer[1024];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

} // namespace fw
