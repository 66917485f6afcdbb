#include "log/CConnectionInfo.h"

#include "framework/LittleEndian.h"

#include <cstring>

namespace {

enum ImageOffset : unsigned {
    TAG = 0,
    START = 4,
    DURATION = 8,
    PADDING = 12,
    RECEIVED = 16,
    SENT = 24,
    RECEIVED_START = 32,
    SENT_START = 40
};

} // namespace

CConnectionInfo::CConnectionInfo() : CConnectionInfo(Clock::Now(), 0, 0, 0) {}

CConnectionInfo& CConnectionInfo::operator=(const CConnectionInfo& other) {
    m_timeStart = other.m_timeStart;
    m_nDuration = other.m_nDuration;
    m_nReceived = other.m_nReceived;
    m_nSent = other.m_nSent;
    return *this;
}

void CConnectionInfo::StoreImage(unsigned char (&image)[IMAGE_SIZE]) const {
    std::memset(image, 0, IMAGE_SIZE);
    fw::PutLittleEndian(image + TAG, IMAGE_TAG, 4);
    fw::PutLittleEndian(image + START, Clock::ToFileTime(m_timeStart), 4);
    fw::PutLittleEndian(image + DURATION, static_cast<std::uint32_t>(m_nDuration), 4);
    fw::PutLittleEndian(image + RECEIVED, static_cast<std::uint64_t>(m_nReceived), 8);
    fw::PutLittleEndian(image + SENT, static_cast<std::uint64_t>(m_nSent), 8);
}

CConnectionInfo CConnectionInfo::FromImage(const unsigned char (&image)[IMAGE_SIZE]) {
    const auto start = static_cast<std::uint32_t>(fw::GetLittleEndian(image + START, 4));
    const auto duration = static_cast<std::int32_t>(fw::GetLittleEndian(image + DURATION, 4));
    const auto received = static_cast<std::int64_t>(fw::GetLittleEndian(image + RECEIVED, 8));
    const auto sent = static_cast<std::int64_t>(fw::GetLittleEndian(image + SENT, 8));
    return CConnectionInfo(Clock::FromFileTime(start), duration, received, sent);
}
