#pragma once
// Whether a program may create files in a folder: the only sure answer is to try, since rights,
// a read-only medium and the system's redirection of writes all have a say.
#include <string>

namespace fw {

// Creates a file of a name not taken yet in the folder (which ends in a backslash) and removes
// it again.
bool FolderTakesFiles(const std::string& folder);

} // namespace fw
