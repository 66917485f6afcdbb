#include "framework/FileInUse.h"

#include <windows.h>

namespace fw {

bool IsFileInUseError(unsigned long osError) {
    return osError == ERROR_SHARING_VIOLATION || osError == ERROR_LOCK_VIOLATION ||
           osError == ERROR_ACCESS_DENIED;
}

bool IsFileInUse(const CFileException& error) {
    return error.GetCause() == CFileException::sharingViolation ||
           error.GetCause() == CFileException::lockViolation;
}

bool TryWhileFileInUse(const std::function<bool(CFileException* error)>& attempt,
                       CFileException* error, unsigned long patienceMs) {
    CFileException last;
    const DWORD start = GetTickCount();
    for (;;) {
        last = CFileException();
        if (attempt(&last))
            return true;
        if (!IsFileInUse(last) || GetTickCount() - start >= patienceMs)
            break;
        Sleep(FILE_IN_USE_RETRY_MS);
    }
    if (error)
        *error = last;
    return false;
}

} // namespace fw
