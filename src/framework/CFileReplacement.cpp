#include "framework/CFileReplacement.h"

#include "framework/FileInUse.h"

#include <windows.h>

#include <utility>

namespace {

std::unique_ptr<CFile> OpenSystemFile(const std::string& path, unsigned openFlags,
                                      CFileException* error) {
    auto file = std::make_unique<CFile>();
    if (!file->Open(path, openFlags, error))
        return nullptr;
    return file;
}

// Opening the target as the old in-place write did tells whether it may be replaced: a file
// that is read-only stays as it is; one that someone holds is waited for a while.
bool TargetIsWritable(const std::string& path, CFileException* error) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    return fw::TryWhileFileInUse(
        [&path](CFileException* attemptError) {
            CFile target;
            return target.Open(path, CFile::modeWrite | CFile::shareExclusive, attemptError);
        },
        error, CFileReplacement::TARGET_IN_USE_PATIENCE_MS);
}

} // namespace

CFileReplacement::CFileReplacement(const std::string& targetPath, FileOpener opener)
    : m_strTargetPath(targetPath), m_strTemporaryPath(TemporaryPathOf(targetPath)),
      m_opener(opener ? std::move(opener) : FileOpener(&OpenSystemFile)) {}

CFileReplacement::~CFileReplacement() {
    if (!m_pFile)
        return;
    m_pFile.reset();
    DeleteFileA(m_strTemporaryPath.c_str());
}

bool CFileReplacement::Open(CFileException* error) {
    m_dwOpenTick = GetTickCount();
    if (!TargetIsWritable(m_strTargetPath, error))
        return false;
    m_pFile = m_opener(m_strTemporaryPath,
                       CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, error);
    return m_pFile != nullptr;
}

void CFileReplacement::Commit() {
    m_pFile->Flush();
    m_pFile->Close();
    ReplaceTarget();
    m_pFile.reset();
}

// A target that someone only reads (a virus scanner, a backup, the export) cannot be replaced
// while it is open. Such readers let go within moments, so the replacement is tried again
// until the patience that began with Open has run out; one try is always made.
// Returns the system's error code, 0 when the target was replaced.
unsigned long CFileReplacement::MoveOverTarget(const char* from, const char* to) const {
    for (;;) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const DWORD osError = GetLastError();
        if (!fw::IsFileInUseError(osError) ||
            GetTickCount() - m_dwOpenTick >= TARGET_IN_USE_PATIENCE_MS)
            return osError;
        Sleep(TARGET_IN_USE_RETRY_MS);
    }
}

void CFileReplacement::ReplaceTarget() const {
    const char* from = m_strTemporaryPath.c_str();
    const char* to = m_strTargetPath.c_str();
    DWORD osError = MoveOverTarget(from, to);
    if (osError == 0)
        return;
    // The Windows 95 family has no MoveFileEx: there the old file has to go first.
    if (osError == ERROR_CALL_NOT_IMPLEMENTED) {
        if ((DeleteFileA(to) || GetLastError() == ERROR_FILE_NOT_FOUND) && MoveFileA(from, to))
            return;
        osError = GetLastError();
    }
    CFileException::ThrowOsError(static_cast<long>(osError), m_strTargetPath);
}

std::string CFileReplacement::TemporaryPathOf(const std::string& targetPath) {
    return targetPath + ".tmp";
}

void CFileReplacement::RemoveLeftover(const std::string& targetPath) {
    DeleteFileA(TemporaryPathOf(targetPath).c_str());
}
