#include "log/CRunningCheckpoint.h"

#include "framework/CFile.h"
#include "framework/CFileException.h"
#include "framework/LittleEndian.h"
#include "log/DataFileAccess.h"

#include <windows.h>

#include <cstring>
#include <memory>

namespace {

constexpr std::uint32_t TAG = 0x4E525654; // "TVRN"
constexpr std::uint32_t IN_MONTHS = 1;
constexpr unsigned RECORD = 8;
constexpr unsigned CHECKSUM = RECORD + CConnectionInfo::IMAGE_SIZE;
// More connections than "clog.dat" holds at most: no file the log wrote.
constexpr std::uint64_t MAX_IMAGES = 65536;

// FNV-1a: a cut or scrambled file does not pass for a connection.
std::uint32_t Checksum(const unsigned char* bytes, unsigned size) {
    std::uint32_t hash = 2166136261u;
    for (unsigned i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

} // namespace

void CRunningCheckpoint::StoreImage(const Content& content, unsigned char (&image)[IMAGE_SIZE]) {
    std::memset(image, 0, IMAGE_SIZE);
    fw::PutLittleEndian32(image, TAG);
    fw::PutLittleEndian32(image + 4, content.bInMonths ? IN_MONTHS : 0);
    unsigned char record[CConnectionInfo::IMAGE_SIZE];
    content.info.StoreImage(record);
    std::memcpy(image + RECORD, record, sizeof record);
    fw::PutLittleEndian32(image + CHECKSUM, Checksum(image, CHECKSUM));
}

std::optional<CRunningCheckpoint::Content>
CRunningCheckpoint::FromImage(const unsigned char (&image)[IMAGE_SIZE]) {
    if (fw::GetLittleEndian32(image) != TAG ||
        fw::GetLittleEndian32(image + CHECKSUM) != Checksum(image, CHECKSUM))
        return std::nullopt;
    unsigned char record[CConnectionInfo::IMAGE_SIZE];
    std::memcpy(record, image + RECORD, sizeof record);
    Content content{CConnectionInfo::FromImage(record),
                    (fw::GetLittleEndian32(image + 4) & IN_MONTHS) != 0};
    return content;
}

bool CRunningCheckpoint::Write(const CConnectionInfo& info, bool bInMonths) const {
    return Write(std::vector<Content>{Content{info, bInMonths}});
}

bool CRunningCheckpoint::Write(const std::vector<Content>& contents) const {
    std::vector<unsigned char> bytes(contents.size() * IMAGE_SIZE);
    for (std::size_t i = 0; i < contents.size(); ++i) {
        unsigned char image[IMAGE_SIZE];
        StoreImage(contents[i], image);
        std::memcpy(&bytes[i * IMAGE_SIZE], image, IMAGE_SIZE);
    }
    CFileReplacement replacement(m_strPath, m_opener);
    if (!replacement.Open())
        return false;
    try {
        replacement.GetFile().Write(bytes.data(), static_cast<unsigned>(bytes.size()));
        replacement.Commit();
        return true;
    } catch (const CException&) {
        return false; // the next checkpoint tries again; nothing is lost that was saved
    }
}

std::optional<CRunningCheckpoint::Content> CRunningCheckpoint::Read() const {
    const std::optional<std::vector<Content>> all = ReadAll();
    if (!all)
        return std::nullopt;
    return all->back();
}

// One image that is cut or damaged makes the whole file none: it was replaced in one step, so
// it is not the file the log wrote.
std::optional<std::vector<CRunningCheckpoint::Content>> CRunningCheckpoint::ReadAll() const {
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFileForReading(m_strPath, m_opener, &error);
    if (!file)
        return std::nullopt;
    try {
        const std::uint64_t length = file->GetLength();
        if (length == 0 || length % IMAGE_SIZE != 0 || length > MAX_IMAGES * IMAGE_SIZE)
            return std::nullopt;
        std::vector<Content> contents;
        for (std::uint64_t i = 0; i < length / IMAGE_SIZE; ++i) {
            unsigned char image[IMAGE_SIZE] = {};
            if (file->Read(image, IMAGE_SIZE) != IMAGE_SIZE)
                return std::nullopt;
            const std::optional<Content> content = FromImage(image);
            if (!content)
                return std::nullopt;
            contents.push_back(*content);
        }
        return contents;
    } catch (const CException&) {
        return std::nullopt;
    }
}

bool CRunningCheckpoint::Remove() const {
    return DeleteFileA(m_strPath.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}
