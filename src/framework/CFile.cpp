#include "framework/CFile.h"

#include <windows.h>

namespace {

DWORD AccessOf(unsigned flags) {
    switch (flags & 3) {
    case CFile::modeWrite:
        return GENERIC_WRITE;
    case CFile::modeReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return GENERIC_READ;
    }
}

// No share flag at all means exclusive use, as with shareExclusive.
DWORD ShareModeOf(unsigned flags) {
    switch (flags & 0x70) {
    case CFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CFile::shareDenyRead:
        return FILE_SHARE_WRITE;
    case CFile::shareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
        return 0;
    }
}

DWORD CreationOf(unsigned flags) {
    if (!(flags & CFile::modeCreate))
        return OPEN_EXISTING;
    return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

} // namespace

CFile::CFile(const std::string& path, unsigned openFlags) {
    CFileException error;
    if (!Open(path, openFlags, &error))
        throw error;
}

CFile::~CFile() {
    Abort();
}

bool CFile::Open(const std::string& path, unsigned openFlags, CFileException* error) {
    Abort();
    m_strFilePath = path;
    HANDLE handle = CreateFileA(path.c_str(), AccessOf(openFlags), ShareModeOf(openFlags), nullptr,
                                CreationOf(openFlags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const long osError = static_cast<long>(GetLastError());
        if (error)
            *error = CFileException(CFileException::OsErrorToCause(osError), osError, path);
        return false;
    }
    m_hFile = handle;
    return true;
}

unsigned CFile::Read(void* buffer, unsigned count) {
    if (count == 0)
        return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr))
        ThrowLastError();
    return read;
}

void CFile::Write(const void* buffer, unsigned count) {
    if (count == 0)
        return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr))
        ThrowLastError();
    if (written != count)
        throw CFileException(CFileException::diskFull, -1, m_strFilePath);
}

void CFile::Flush() {
    if (m_hFile && !FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close() {
    if (!m_hFile)
        return;
    const BOOL closed = CloseHandle(m_hFile);
    m_hFile = nullptr;
    if (!closed)
        ThrowLastError();
}

void CFile::Abort() {
    if (m_hFile)
        CloseHandle(m_hFile);
    m_hFile = nullptr;
}

// SetFilePointer and GetFileSize rather than their Ex forms, which the Windows 95 family lacks.
std::uint64_t CFile::Seek(std::int64_t offset, SeekPosition from) {
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(NO_ERROR);
    const DWORD low = SetFilePointer(m_hFile, static_cast<LONG>(offset & 0xFFFFFFFF), &high, from);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        ThrowLastError();
    return (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
}

void CFile::SetLength(std::uint64_t length) {
    Seek(static_cast<std::int64_t>(length), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

std::uint64_t CFile::GetLength() const {
    DWORD high = 0;
    SetLastError(NO_ERROR);
    const DWORD low = GetFileSize(m_hFile, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        ThrowLastError();
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

void CFile::ThrowLastError() const {
    CFileException::ThrowOsError(static_cast<long>(GetLastError()), m_strFilePath);
}
