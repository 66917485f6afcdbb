#include "framework/CTextFile.h"

#include <windows.h>

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The first line feed in [text, end), or end. msvcrt's memchr looks at one byte at a time,
// which on a report of megabytes costs more than writing it; this looks at four.
const char* FindLineFeedInWords(const char* text, const char* end) {
    for (; end - text >= 4; text += 4) {
        std::uint32_t word;
        std::memcpy(&word, text, 4);
        const std::uint32_t bytes = word ^ 0x0A0A0A0Au; // a line feed becomes a zero byte
        if ((bytes - 0x01010101u) & ~bytes & 0x80808080u)
            break;
    }
    while (text < end && *text != '\n')
        ++text;
    return text;
}

// Sixteen bytes at a time, on processors that have SSE2.
__attribute__((target("sse2"))) const char* FindLineFeedInBlocks(const char* text,
                                                                 const char* end) {
    const __m128i lineFeeds = _mm_set1_epi8('\n');
    for (; end - text >= 16; text += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
        if (const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(block, lineFeeds)))
            return text + __builtin_ctz(static_cast<unsigned>(found));
    }
    return FindLineFeedInWords(text, end);
}

// Asks the system, which knows whether it keeps the SSE registers; Windows 95 has no such
// function and no such registers.
bool SystemHasSse2() {
    using IsFeaturePresent = BOOL(WINAPI*)(DWORD);
    const auto isPresent = reinterpret_cast<IsFeaturePresent>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsProcessorFeaturePresent")));
    return isPresent && isPresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE);
}

const char* FindLineFeed(const char* text, const char* end) {
    static const bool hasSse2 = SystemHasSse2();
    return hasSse2 ? FindLineFeedInBlocks(text, end) : FindLineFeedInWords(text, end);
}

} // namespace

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
        const char* lineEnd = FindLineFeed(text, end);
        Put(text, static_cast<std::size_t>(lineEnd - text));
        if (lineEnd == end)
            break;
        PutLineEnd();
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

std::uint64_t CTextFile::Seek(std::int64_t offset, SeekPosition from) {
    WritePending();
    return CFile::Seek(offset, from);
}

void CTextFile::SetLength(std::uint64_t length) {
    WritePending();
    CFile::SetLength(length);
}

void CTextFile::AbortAtPosition() noexcept {
    m_nUsed = 0;
    try {
        CFile::SetLength(CFile::GetPosition());
    } catch (...) {
        // The file stays as the failed write left it.
    }
    Abort();
}

// Once a line, so without a call of memcpy for its two bytes.
void CTextFile::PutLineEnd() {
    if (m_buffer.size() - m_nUsed < 2) {
        Put("\r\n", 2);
        return;
    }
    m_buffer[m_nUsed] = '\r';
    m_buffer[m_nUsed + 1] = '\n';
    m_nUsed += 2;
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
