#pragma once
// A real file on disk that fails part-way: it runs out of space after a given number of bytes
// written (the bytes that still fit are written, then the write fails as on a full disk), or
// its reads fail with a hardware error after a given number of bytes read.
#include "framework/CFile.h"
#include "framework/CFileReplacement.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <string>

class FailingFile : public CFile {
public:
    static constexpr std::size_t UNLIMITED = std::numeric_limits<std::size_t>::max();

    FailingFile(std::size_t writeRoom, std::size_t readRoom)
        : m_nWriteRoom(writeRoom), m_nReadRoom(readRoom) {}

    void Write(const void* buffer, unsigned count) override {
        const unsigned fits = static_cast<unsigned>(std::min<std::size_t>(count, m_nWriteRoom));
        CFile::Write(buffer, fits);
        m_nWriteRoom -= fits;
        if (fits < count)
            throw CFileException(CFileException::diskFull, 112 /* ERROR_DISK_FULL */,
                                 GetFilePath());
    }

    unsigned Read(void* buffer, unsigned count) override {
        if (m_nReadRoom == 0 && count > 0)
            throw CFileException(CFileException::hardIO, 1117 /* ERROR_IO_DEVICE */, GetFilePath());
        const unsigned read =
            CFile::Read(buffer, static_cast<unsigned>(std::min<std::size_t>(count, m_nReadRoom)));
        m_nReadRoom -= read;
        return read;
    }

    // An opener whose files hold at most capacity bytes.
    static CFileReplacement::FileOpener DiskFull(std::size_t capacity) {
        return Opener(capacity, UNLIMITED);
    }
    // An opener whose files fail to read after readable bytes.
    static CFileReplacement::FileOpener ReadError(std::size_t readable) {
        return Opener(UNLIMITED, readable);
    }

private:
    static CFileReplacement::FileOpener Opener(std::size_t writeRoom, std::size_t readRoom) {
        return [writeRoom, readRoom](const std::string& path, unsigned openFlags,
                                     CFileException* error) -> std::unique_ptr<CFile> {
            auto file = std::make_unique<FailingFile>(writeRoom, readRoom);
            if (!file->Open(path, openFlags, error))
                return nullptr;
            return file;
        };
    }

    std::size_t m_nWriteRoom;
    std::size_t m_nReadRoom;
};
