#pragma once
// A file held in memory. It records the size of every read and write the archive asks for, and
// can run out of space after a given number of bytes, as a full disk does, or fail to read
// past a given byte, as a damaged disk does.
#include "framework/CFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

class MemoryFile : public CFile {
public:
    explicit MemoryFile(std::vector<unsigned char> content = {},
                        const std::string& name = "memory.dat")
        : m_content(std::move(content)) {
        SetFilePath(name);
    }

    unsigned Read(void* buffer, unsigned count) override {
        m_readSizes.push_back(count);
        if (m_readPos + count > m_readable)
            throw CFileException(CFileException::hardIO, 30 /* ERROR_READ_FAULT */, GetFilePath());
        const std::size_t available = m_content.size() - m_readPos;
        const std::size_t n = std::min<std::size_t>(count, available);
        std::memcpy(buffer, m_content.data() + m_readPos, n);
        m_readPos += n;
        return static_cast<unsigned>(n);
    }

    void Write(const void* buffer, unsigned count) override {
        m_writeSizes.push_back(count);
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        const std::size_t room = m_capacity - std::min(m_capacity, m_content.size());
        m_content.insert(m_content.end(), bytes, bytes + std::min<std::size_t>(count, room));
        if (count > room)
            throw CFileException(CFileException::diskFull, 112 /* ERROR_DISK_FULL */,
                                 GetFilePath());
    }

    void Flush() override {}
    void Close() override {}

    // The disk is full once the file holds this many bytes.
    void SetCapacity(std::size_t capacity) { m_capacity = capacity; }

    // Reads that reach beyond this many bytes fail.
    void SetReadable(std::size_t bytes) { m_readable = bytes; }

    const std::vector<unsigned char>& Content() const { return m_content; }
    const std::vector<unsigned>& ReadSizes() const { return m_readSizes; }
    const std::vector<unsigned>& WriteSizes() const { return m_writeSizes; }

private:
    std::vector<unsigned char> m_content;
    std::size_t m_readPos = 0;
    std::size_t m_capacity = std::numeric_limits<std::size_t>::max();
    std::size_t m_readable = std::numeric_limits<std::size_t>::max();
    std::vector<unsigned> m_readSizes;
    std::vector<unsigned> m_writeSizes;
};
