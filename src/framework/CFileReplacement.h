#pragma once
// New content for a file, written beside it under a temporary name and put in its place in one
// step once it is complete and on disk. A crash, a kill or a full disk while writing leaves
// the old file whole; a reader always finds the old file or the new one.
#include "framework/CFile.h"
#include "framework/FileInUse.h"

#include <functional>
#include <memory>
#include <string>

class CFileReplacement {
public:
    // Opens the temporary file; on failure returns no file and fills *error when given. Tests
    // hand in their own, for example one that runs out of disk space half-way.
    using FileOpener = std::function<std::unique_ptr<CFile>(
        const std::string& path, unsigned openFlags, CFileException* error)>;

    explicit CFileReplacement(const std::string& targetPath, FileOpener opener = FileOpener());
    // A replacement that was not committed removes its temporary file; the target stays.
    ~CFileReplacement();

    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Creates the temporary file. Fails, like opening the target for writing would, when the
    // target exists but cannot be opened for writing (a target that another program holds is
    // waited for, within the patience), or when the temporary file cannot be created.
    bool Open(CFileException* error = nullptr);

    // The temporary file; valid between a successful Open() and Commit().
    CFile& GetFile() { return *m_pFile; }

    // Puts the temporary file on disk, closes it and replaces the target with it. A target that
    // another program holds open is tried again until TARGET_IN_USE_PATIENCE_MS after Open
    // have passed. Throws CFileException; the target is then as it was.
    void Commit();

    static constexpr unsigned long TARGET_IN_USE_PATIENCE_MS = fw::FILE_IN_USE_PATIENCE_MS;
    static constexpr unsigned long TARGET_IN_USE_RETRY_MS = fw::FILE_IN_USE_RETRY_MS;

    // The name the new content has until it replaces the target.
    static std::string TemporaryPathOf(const std::string& targetPath);
    // Removes the temporary file of a replacement that a crash interrupted; it is never data.
    static void RemoveLeftover(const std::string& targetPath);

private:
    void ReplaceTarget() const;
    unsigned long MoveOverTarget(const char* from, const char* to) const;

    std::string m_strTargetPath;
    std::string m_strTemporaryPath;
    FileOpener m_opener;
    std::unique_ptr<CFile> m_pFile;
    unsigned long m_dwOpenTick = 0; // the patience with a held target counts from here
};
