#include "framework/FolderTakesFiles.h"

#include "framework/ScopedHandles.h"

#include <windows.h>

#include <cstdio>

namespace fw {

// GetTempFileNameA would do, but some systems report a name even when they could not create
// the file; CreateFileA says plainly whether the folder took it.
bool FolderTakesFiles(const std::string& folder) {
    if (folder.empty())
        return false;
    const unsigned long seed = GetTickCount() ^ GetCurrentProcessId();
    for (unsigned long attempt = 0; attempt < 16; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "~tv%08lx.tmp", seed + attempt);
        const ScopedFileHandle probe(
            CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (probe)
            return true;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

} // namespace fw
