#include "framework/CTextFile.h"

#include <algorithm>
#include <cstring>

CTextFile::CTextFile(unsigned bufferSize) : m_buffer(std::max(bufferSize, 2u)) {}

CTextFile::CTextFile(const std::string& path, unsigned openFlags, unsigned bufferSize)
    : CTextFile(bufferSize) {
    CFileException error;
    if (!Open(path, openFlags, &error))
        throw error;
}

bool CTextFile::Open(const std::string& path, unsigned openFlags, CFileException* error) {
    m_nUsed = 0;
    return CFile::Open(path, openFlags, error);
}

void CTextFile::Write(const void* buffer, unsigned count) {
    const char* text = static_cast<const char*>(buffer);
    const char* end = text + count;
    while (text < end) {
        const void* found = std::memchr(text, '\n', static_cast<std::size_t>(end - text));
        const char* lineEnd = found ? static_cast<const char*>(found) : end;
        Put(text, static_cast<std::size_t>(lineEnd - text));
        if (lineEnd == end)
            break;
        Put("\r\n", 2);
        text = lineEnd + 1;
    }
}

void CTextFile::WriteString(const std::string& text) {
    Write(text.data(), static_cast<unsigned>(text.size()));
}

void CTextFile::Flush() {
    WritePending();
    CFile::Flush();
}

void CTextFile::Close() {
    if (!IsOpen())
        return;
    WritePending();
    CFile::Close();
}

std::uint64_t CTextFile::SeekToEnd() {
    WritePending();
    return CFile::SeekToEnd();
}

void CTextFile::Put(const char* bytes, std::size_t count) {
    while (count > 0) {
        if (m_nUsed == m_buffer.size())
            WritePending();
        const std::size_t chunk = std::min(count, m_buffer.size() - m_nUsed);
        std::memcpy(m_buffer.data() + m_nUsed, bytes, chunk);
        m_nUsed += chunk;
        bytes += chunk;
        count -= chunk;
    }
}

void CTextFile::WritePending() {
    const std::size_t pending = m_nUsed;
    m_nUsed = 0;
    if (pending > 0)
        CFile::Write(m_buffer.data(), static_cast<unsigned>(pending));
}
