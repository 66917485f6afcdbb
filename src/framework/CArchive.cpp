#include "framework/CArchive.h"

#include "framework/ArchiveCount.h"

#include <algorithm>
#include <cstring>

CArchive::CArchive(CFile& file, Mode mode, unsigned bufferSize)
    : m_file(file), m_mode(mode), m_buffer(std::max(bufferSize, 1u)) {}

unsigned CArchive::Read(void* buffer, unsigned count) {
    ThrowUnless(IsLoading(), CArchiveException::writeOnly);
    auto* target = static_cast<unsigned char*>(buffer);
    unsigned copied = 0;
    while (copied < count) {
        if (m_nPos == m_nEnd) {
            FillBuffer();
            if (m_nEnd == 0)
                break;
        }
        const std::size_t chunk = std::min<std::size_t>(count - copied, m_nEnd - m_nPos);
        std::memcpy(target + copied, m_buffer.data() + m_nPos, chunk);
        m_nPos += chunk;
        copied += static_cast<unsigned>(chunk);
    }
    return copied;
}

void CArchive::Write(const void* buffer, unsigned count) {
    ThrowUnless(IsStoring(), CArchiveException::readOnly);
    ThrowUnless(!m_bDetached, CArchiveException::generic);
    if (count == 0)
        return;
    const auto* source = static_cast<const unsigned char*>(buffer);
    const std::size_t room = m_buffer.size() - m_nPos;
    const std::size_t first = std::min<std::size_t>(count, room);
    std::memcpy(m_buffer.data() + m_nPos, source, first);
    m_nPos += first;
    // A full buffer goes out at once, so that the file sees whole buffers.
    if (m_nPos == m_buffer.size())
        WriteBuffer();
    if (first == count)
        return;
    source += first;
    count -= static_cast<unsigned>(first);
    // Whole buffers' worth go to the file straight from the caller's memory: copying them
    // through the buffer first would only cost time.
    const auto direct = static_cast<unsigned>(count - count % m_buffer.size());
    if (direct > 0)
        m_file.Write(source, direct);
    std::memcpy(m_buffer.data(), source + direct, count - direct);
    m_nPos = count - direct;
}

void CArchive::Flush() {
    if (IsStoring() && !m_bDetached)
        WriteBuffer();
}

void CArchive::Close() {
    Flush();
    m_bDetached = true;
}

void CArchive::Abort() {
    m_nPos = m_nEnd = 0;
    m_bDetached = true;
}

void CArchive::WriteCount(std::uint32_t count) {
    if (count < fw::COUNT_ESCAPE) {
        *this << static_cast<std::uint16_t>(count);
    } else {
        *this << fw::COUNT_ESCAPE << count;
    }
}

std::uint32_t CArchive::ReadCount() {
    unsigned char header[fw::LONG_COUNT_SIZE] = {};
    ReadExactly(header, fw::SHORT_COUNT_SIZE);
    fw::COUNT_HEADER count = fw::DecodeCount(header, fw::SHORT_COUNT_SIZE);
    if (count.nSize == 0) {
        ReadExactly(header + fw::SHORT_COUNT_SIZE, fw::LONG_COUNT_SIZE - fw::SHORT_COUNT_SIZE);
        count = fw::DecodeCount(header, fw::LONG_COUNT_SIZE);
    }
    return count.nCount;
}

void CArchive::ReadExactly(void* buffer, unsigned count) {
    ThrowUnless(Read(buffer, count) == count, CArchiveException::endOfFile);
}

void CArchive::FillBuffer() {
    m_nPos = 0;
    m_nEnd = m_bDetached ? 0 : m_file.Read(m_buffer.data(), static_cast<unsigned>(m_buffer.size()));
}

void CArchive::WriteBuffer() {
    const std::size_t pending = m_nPos;
    m_nPos = 0;
    if (pending > 0)
        m_file.Write(m_buffer.data(), static_cast<unsigned>(pending));
}

void CArchive::ThrowUnless(bool condition, CArchiveException::Cause cause) const {
    if (!condition)
        throw CArchiveException(cause, m_file.GetFilePath());
}
