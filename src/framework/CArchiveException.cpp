#include "framework/CArchiveException.h"

namespace {

const char* TextOf(CArchiveException::Cause cause) {
    switch (cause) {
    case CArchiveException::none:
        return "Unexpected file format.";
    case CArchiveException::readOnly:
        return "An attempt was made to write to the reading %1.";
    case CArchiveException::endOfFile:
        return "An attempt was made to access %1 past its end.";
    case CArchiveException::writeOnly:
        return "An attempt was made to read from the writing %1.";
    case CArchiveException::generic:
        break;
    }
    return "An unexpected error occurred while reading %1.";
}

} // namespace

CArchiveException::CArchiveException(Cause cause, const std::string& fileName)
    : m_cause(cause), m_strFileName(fileName) {}

std::string CArchiveException::GetErrorMessage() const {
    return InsertFileName(TextOf(m_cause), m_strFileName);
}
