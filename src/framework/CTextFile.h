#pragma once
// A text file as the C library's text mode writes it: every line feed reaches the file as
// CR LF. Text is gathered in a buffer so that long reports go out in large blocks; failures
// throw the file's CFileException like any CFile.
#include "framework/CFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CTextFile : public CFile {
public:
    static constexpr unsigned DEFAULT_BUFFER_SIZE = 65536;

    explicit CTextFile(unsigned bufferSize = DEFAULT_BUFFER_SIZE);
    // Opens the file or throws CFileException.
    CTextFile(const std::string& path, unsigned openFlags,
              unsigned bufferSize = DEFAULT_BUFFER_SIZE);
    // Text still in the buffer is dropped: Close() writes it and reports errors, a destructor
    // could do neither safely.
    ~CTextFile() override = default;

    // Opens the file; on failure returns false and fills *error when given.
    bool Open(const std::string& path, unsigned openFlags, CFileException* error = nullptr);

    // Writes count bytes, each line feed as CR LF.
    void Write(const void* buffer, unsigned count) override;
    void WriteString(const std::string& text);

    // Room for count bytes, at most the buffer's size, that reach the file as they are: text
    // already in the file's form, its line ends CR LF. CommitRaw takes what was put there up
    // to end; a caller that puts nothing need not call it.
    char* ReserveRaw(std::size_t count) {
        if (m_buffer.size() - m_nUsed < count)
            WritePending();
        return m_buffer.data() + m_nUsed;
    }
    void CommitRaw(const char* end) { m_nUsed = static_cast<std::size_t>(end - m_buffer.data()); }
    std::size_t GetBufferSize() const { return m_buffer.size(); }

    // Writes the buffer, then asks the system to put the file on disk.
    void Flush() override;
    void Close() override;
    // These write the buffer first, so that nothing written lands behind the new position.
    std::uint64_t Seek(std::int64_t offset, SeekPosition from);
    std::uint64_t SeekToEnd() { return Seek(0, end); }
    std::uint64_t GetPosition() { return Seek(0, current); }
    void SetLength(std::uint64_t length);

    // After a failed write: drops the buffer, ends the file where the writing stopped and
    // closes it, reporting nothing.
    void AbortAtPosition() noexcept;

private:
    void Put(const char* bytes, std::size_t count);
    void PutLineEnd();
    void WritePending();

    std::vector<char> m_buffer;
    std::size_t m_nUsed = 0;
};
