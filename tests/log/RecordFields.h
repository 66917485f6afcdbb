#pragma once
// The six fields of a connection record, checked one by one so that a failure names the field.
#include "log/CConnectionInfo.h"

#include <gtest/gtest.h>

#include <cstdint>

struct RecordFields {
    TIME64 start;
    std::int32_t duration;
    std::int64_t received;
    std::int64_t sent;
    std::int64_t receivedStart = 0;
    std::int64_t sentStart = 0;
};

inline void ExpectRecord(const CConnectionInfo& info, const RecordFields& expected) {
    EXPECT_EQ(expected.start, info.m_timeStart);
    EXPECT_EQ(expected.duration, info.m_nDuration);
    EXPECT_EQ(expected.received, info.m_nReceived);
    EXPECT_EQ(expected.sent, info.m_nSent);
    EXPECT_EQ(expected.receivedStart, info.m_nReceivedStart);
    EXPECT_EQ(expected.sentStart, info.m_nSentStart);
}
