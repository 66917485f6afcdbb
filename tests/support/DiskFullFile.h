#pragma once
// A real file on disk that runs out of space after a given number of bytes: the bytes that
// still fit are written, then the write fails as on a full disk.
#include "framework/CFile.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>

class DiskFullFile : public CFile {
public:
    explicit DiskFullFile(std::size_t capacity) : m_nRoom(capacity) {}

    void Write(const void* buffer, unsigned count) override {
        const unsigned fits = static_cast<unsigned>(std::min<std::size_t>(count, m_nRoom));
        CFile::Write(buffer, fits);
        m_nRoom -= fits;
        if (fits < count)
            throw CFileException(CFileException::diskFull, 112 /* ERROR_DISK_FULL */,
                                 GetFilePath());
    }

    // An opener for CFileReplacement whose files hold at most capacity bytes.
    static auto Opener(std::size_t capacity) {
        return [capacity](const std::string& path, unsigned openFlags,
                          CFileException* error) -> std::unique_ptr<CFile> {
            auto file = std::make_unique<DiskFullFile>(capacity);
            if (!file->Open(path, openFlags, error))
                return nullptr;
            return file;
        };
    }

private:
    std::size_t m_nRoom;
};
