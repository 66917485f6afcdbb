#include "log/MonthLog.h"

#include "framework/CFile.h"
#include "framework/LittleEndian.h"

namespace {

constexpr unsigned TABLE_SIZE = MONTH_ENTRIES * MONTHTOTAL_IMAGE_SIZE;

MONTHTOTAL DecodeEntry(const unsigned char* image) {
    MONTHTOTAL entry{};
    entry.nDuration = static_cast<std::int32_t>(fw::GetLittleEndian(image, 4));
    entry.dwPadding = static_cast<std::uint32_t>(fw::GetLittleEndian(image + 4, 4));
    entry.nReceived = static_cast<std::int64_t>(fw::GetLittleEndian(image + 8, 8));
    entry.nSent = static_cast<std::int64_t>(fw::GetLittleEndian(image + 16, 8));
    return entry;
}

void EncodeEntry(const MONTHTOTAL& entry, unsigned char* image) {
    fw::PutLittleEndian(image, static_cast<std::uint32_t>(entry.nDuration), 4);
    fw::PutLittleEndian(image + 4, entry.dwPadding, 4);
    fw::PutLittleEndian(image + 8, static_cast<std::uint64_t>(entry.nReceived), 8);
    fw::PutLittleEndian(image + 16, static_cast<std::uint64_t>(entry.nSent), 8);
}

} // namespace

TIME64 ReadMonthLog(CFile& file, MonthTable& table) {
    unsigned char time[4] = {};
    const unsigned timeRead = file.Read(time, sizeof time);
    unsigned char image[TABLE_SIZE] = {};
    file.Read(image, sizeof image);
    for (int m = 0; m < MONTH_ENTRIES; ++m)
        table[m] = DecodeEntry(image + m * MONTHTOTAL_IMAGE_SIZE);
    if (timeRead < sizeof time)
        return 0;
    return Clock::FromFileTime(static_cast<std::uint32_t>(fw::GetLittleEndian(time, 4)));
}

void WriteMonthLog(CFile& file, TIME64 saveTime, const MonthTable& table) {
    unsigned char image[MONTH_LOG_SIZE] = {};
    fw::PutLittleEndian(image, Clock::ToFileTime(saveTime), 4);
    for (int m = 0; m < MONTH_ENTRIES; ++m)
        EncodeEntry(table[m], image + 4 + m * MONTHTOTAL_IMAGE_SIZE);
    file.Write(image, sizeof image);
}
