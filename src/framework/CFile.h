#pragma once
// A binary file over a handle of the operating system. Failures throw CFileException with the
// cause taken from the system's error code. Read, Write, Flush and Close are virtual so that a
// file can be replaced (for example by one that runs out of disk space).
#include "framework/CFileException.h"

#include <cstdint>
#include <string>

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,    // create, or truncate an existing file
        modeNoTruncate = 0x2000 // with modeCreate: keep an existing file as it is
    };

    CFile() = default;
    // Opens the file or throws CFileException.
    CFile(const std::string& path, unsigned openFlags);
    // Closes the file; errors of that last close are lost, call Close() to see them.
    virtual ~CFile();

    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens the file; on failure returns false and fills *error when given.
    bool Open(const std::string& path, unsigned openFlags, CFileException* error = nullptr);

    // Reads up to count bytes and returns how many were read (fewer only at the end).
    virtual unsigned Read(void* buffer, unsigned count);
    // Writes all count bytes; a short write is a full disk.
    virtual void Write(const void* buffer, unsigned count);
    virtual void Flush();
    virtual void Close();
    // Closes without reporting anything.
    void Abort();

    enum SeekPosition : unsigned { begin = 0, current = 1, end = 2 };

    // Moves the file pointer and returns its new place, counted from the start.
    std::uint64_t Seek(std::int64_t offset, SeekPosition from);
    std::uint64_t SeekToEnd() { return Seek(0, end); }
    std::uint64_t GetPosition() { return Seek(0, current); }
    std::uint64_t GetLength() const;
    // Ends the file at length bytes, cutting off or adding to it; the file pointer stays there.
    void SetLength(std::uint64_t length);

    bool IsOpen() const { return m_hFile != nullptr; }
    const std::string& GetFilePath() const { return m_strFilePath; }

protected:
    // For files that are not backed by a system handle.
    void SetFilePath(const std::string& path) { m_strFilePath = path; }

private:
    [[noreturn]] void ThrowLastError() const;

    void* m_hFile = nullptr; // HANDLE; nullptr when closed (never INVALID_HANDLE_VALUE)
    std::string m_strFilePath;
};
