#pragma once
// Another program may hold one of our files for a moment: a virus scanner, a backup, a reader
// of its own. Such holders let go within a second or two, so an open or a replacement that
// meets one is tried again for a while before it counts as failed.
#include "framework/CFileException.h"

#include <functional>

namespace fw {

constexpr unsigned long FILE_IN_USE_PATIENCE_MS = 2000;
constexpr unsigned long FILE_IN_USE_RETRY_MS = 50;

// The system's answer when someone else holds the file (a sharing or lock violation; a file
// opened without delete sharing also refuses to be replaced with "access denied").
bool IsFileInUseError(unsigned long osError);
bool IsFileInUse(const CFileException& error);

// Calls attempt until it succeeds, fails for another reason than a file in use, or the
// patience has run out; the error of the last attempt is left in *error.
bool TryWhileFileInUse(const std::function<bool(CFileException* error)>& attempt,
                       CFileException* error, unsigned long patienceMs = FILE_IN_USE_PATIENCE_MS);

} // namespace fw
