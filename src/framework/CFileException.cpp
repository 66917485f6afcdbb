#include "framework/CFileException.h"

namespace {

const char* TextOf(CFileException::Cause cause) {
    switch (cause) {
    case CFileException::none:
        return "No error occurred.";
    case CFileException::fileNotFound:
        return "%1 was not found.";
    case CFileException::badPath:
        return "%1 contains an invalid path.";
    case CFileException::tooManyOpenFiles:
        return "%1 could not be opened because there are too many open files.";
    case CFileException::accessDenied:
        return "Access to %1 was denied.";
    case CFileException::invalidFile:
        return "An invalid file handle was associated with %1.";
    case CFileException::removeCurrentDir:
        return "%1 could not be removed because it is the current directory.";
    case CFileException::directoryFull:
        return "%1 could not be created because the directory is full.";
    case CFileException::badSeek:
        return "Seek failed on %1";
    case CFileException::hardIO:
        return "A hardware I/O error was reported while accessing %1.";
    case CFileException::sharingViolation:
        return "A sharing violation occurred while accessing %1.";
    case CFileException::lockViolation:
        return "A locking violation occurred while accessing %1.";
    case CFileException::diskFull:
        return "Disk full while accessing %1.";
    case CFileException::endOfFile:
        return "An attempt was made to access %1 past its end.";
    case CFileException::generic:
        break;
    }
    return "An unknown error occurred while accessing %1.";
}

} // namespace

CFileException::CFileException(Cause cause, long osError, const std::string& fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

std::string CFileException::GetErrorMessage() const {
    return InsertFileName(TextOf(m_cause), m_strFileName);
}

void CFileException::ThrowOsError(long osError, const std::string& fileName) {
    throw CFileException(OsErrorToCause(osError), osError, fileName);
}
