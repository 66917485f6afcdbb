#include "counters/StringResource.h"

BOOL LoadStringResource(UINT nId, std::string& text) {
    // A string table entry holds at most 65535 characters; counter paths are far shorter.
    char buffer[1024];
    const int cch = LoadStringA(GetModuleHandleA(nullptr), nId, buffer, sizeof buffer);
    if (cch <= 0)
        return FALSE;
    text.assign(buffer, static_cast<size_t>(cch));
    return TRUE;
}
