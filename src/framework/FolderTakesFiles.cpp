#include "framework/FolderTakesFiles.h"

#include <windows.h>

namespace fw {

bool FolderTakesFiles(const std::string& folder) {
    char probe[MAX_PATH + 14] = {};
    if (folder.empty() || GetTempFileNameA(folder.c_str(), "tv", 0, probe) == 0)
        return false;
    DeleteFileA(probe);
    return true;
}

} // namespace fw
