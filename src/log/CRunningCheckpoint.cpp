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
    unsigned char image[IMAGE_SIZE];
    StoreImage(Content{info, bInMonths}, image);
    CFileReplacement replacement(m_strPath, m_opener);
    if (!replacement.Open())
        return false;
    try {
        replacement.GetFile().Write(image, IMAGE_SIZE);
        replacement.Commit();
        return true;
    } catch (const CException&) {
        return false; // the next checkpoint tries again; nothing is lost that was saved
    }
}

std::optional<CRunningCheckpoint::Content> CRunningCheckpoint::Read() const {
    CFileException error;
    const std::unique_ptr<CFile> file = OpenDataFileForReading(m_strPath, m_opener, &error);
    if (!file)
        return std::nullopt;
    try {
        unsigned char image[IMAGE_SIZE] = {};
        if (file->GetLength() != IMAGE_SIZE || file->Read(image, IMAGE_SIZE) != IMAGE_SIZE)
            return std::nullopt;
        return FromImage(image);
    } catch (const CException&) {
        return std::nullopt;
    }
}

bool CRunningCheckpoint::Remove() const {
    return DeleteFileA(m_strPath.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}
