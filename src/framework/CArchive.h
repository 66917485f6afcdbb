#pragma once
// A buffered binary stream over an open file, either loading or storing. Integers go in and
// out little-endian in their own width (WORD 2 bytes, DWORD and LONG 4, LONGLONG 8).
// Extracting past the end of the stream throws CArchiveException(endOfFile); errors of the
// file come through as its CFileException.
#include "framework/CArchiveException.h"
#include "framework/CFile.h"
#include "framework/LittleEndian.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace fw {
// Integers an archive takes: every integral type but bool, up to 64 bits.
template <typename T>
constexpr bool IsArchiveInteger =
    std::is_integral_v<T> && !std::is_same_v<T, bool> && sizeof(T) <= 8;
} // namespace fw

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    static constexpr unsigned DEFAULT_BUFFER_SIZE = 4096;

    CArchive(CFile& file, Mode mode, unsigned bufferSize = DEFAULT_BUFFER_SIZE);
    // Discards what a storing archive still holds in its buffer: Close() writes it and reports
    // errors, a destructor could do neither safely.
    ~CArchive() = default;

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    CFile& GetFile() { return m_file; }

    // Reads up to count bytes and returns how many there were; the end of the stream is no
    // error here.
    unsigned Read(void* buffer, unsigned count);
    // Large blocks go to the file in whole buffers' worth without passing through the buffer.
    void Write(const void* buffer, unsigned count);

    // How many bytes a loading archive gives from its buffer before it reads the file again.
    std::size_t GetBufferedCount() const { return IsLoading() ? m_nEnd - m_nPos : 0; }

    // Writes the buffer of a storing archive to the file.
    void Flush();
    // Flush, then detach from the file; the file itself stays open.
    void Close();
    // Detach without writing anything.
    void Abort();

    // Counts below 0xFFFF take 16 bits; larger ones are 0xFFFF followed by 32 bits.
    void WriteCount(std::uint32_t count);
    std::uint32_t ReadCount();

    template <typename T, typename = std::enable_if_t<fw::IsArchiveInteger<T>>>
    CArchive& operator<<(T value) {
        unsigned char bytes[sizeof(T)];
        fw::PutLittleEndian(bytes, static_cast<std::uint64_t>(value), sizeof(T));
        Write(bytes, sizeof(T));
        return *this;
    }

    template <typename T, typename = std::enable_if_t<fw::IsArchiveInteger<T>>>
    CArchive& operator>>(T& value) {
        unsigned char bytes[sizeof(T)];
        ReadExactly(bytes, sizeof(T));
        value = static_cast<T>(fw::GetLittleEndian(bytes, sizeof(T)));
        return *this;
    }

private:
    void ReadExactly(void* buffer, unsigned count);
    void FillBuffer();
    void WriteBuffer();
    void ThrowUnless(bool condition, CArchiveException::Cause cause) const;

    CFile& m_file;
    Mode m_mode;
    bool m_bDetached = false;
    std::vector<unsigned char> m_buffer;
    std::size_t m_nPos = 0; // next byte to read or write
    std::size_t m_nEnd = 0; // end of valid data when loading
};
