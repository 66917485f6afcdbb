#pragma once
// The record of one online period.
#include "log/Clock.h"

#include <cstdint>
#include <string>

class CNumberFormat;

class CConnectionInfo {
public:
    static constexpr unsigned IMAGE_SIZE = 48;
    static constexpr std::uint32_t IMAGE_TAG = 0x0042EA18;

    // Starts now; everything else is zero.
    CConnectionInfo();
    CConnectionInfo(TIME64 timeStart, std::int32_t nDuration, std::int64_t nReceived,
                    std::int64_t nSent)
        : m_timeStart(timeStart), m_nDuration(nDuration), m_nReceived(nReceived), m_nSent(nSent) {}

    // Copying and assigning take the start, duration and volumes only: the counter readings
    // at the start belong to the running connection and are never passed on.
    CConnectionInfo(const CConnectionInfo& other)
        : CConnectionInfo(other.m_timeStart, other.m_nDuration, other.m_nReceived, other.m_nSent) {}
    CConnectionInfo& operator=(const CConnectionInfo& other);

    // Calendar month (1 to 12) of the start in local time: the month entry it is booked to.
    int GetMonth() const { return Clock::LocalMonth(m_timeStart); }
    // What counts against a volume limit: the bytes received, or those received and sent.
    std::int64_t GetUse(bool bReceivedOnly) const {
        return m_nReceived + (bReceivedOnly ? 0 : m_nSent);
    }

    // The 48-byte file image: tag, start, duration, padding, received, sent and the two
    // start readings, which are always written as zero.
    void StoreImage(unsigned char (&image)[IMAGE_SIZE]) const;
    // Takes start, duration and volumes from an image; tag, padding and readings are dropped.
    static CConnectionInfo FromImage(const unsigned char (&image)[IMAGE_SIZE]);

    // The record's row of the connection report: local date and time of the start, duration,
    // and megabytes received, sent and in all, in the given number format.
    std::string FormatReportRow(const CNumberFormat& format) const;

    TIME64 m_timeStart;
    std::int32_t m_nDuration;
    std::int64_t m_nReceived;
    std::int64_t m_nSent;
    std::int64_t m_nReceivedStart = 0;
    std::int64_t m_nSentStart = 0;
};
