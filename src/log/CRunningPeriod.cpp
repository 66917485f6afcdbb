#include "log/CRunningPeriod.h"

#include <algorithm>

namespace {

// Samples come every few seconds; a checkpoint due within this much of a sample is taken at it,
// so that an interval of a whole number of samples is kept.
constexpr std::uint64_t CHECKPOINT_SLACK_MS = 1000;
// The first update of a period is due at once: a kill before the next leaves the period its
// start at least, and the hang-up's saving always has one to fall back on.
constexpr std::uint64_t CHECKPOINT_DUE = ~std::uint64_t(0);

} // namespace

void CRunningPeriod::Start(std::int64_t nReceived, std::int64_t nSent) {
    Begin(Clock::Now(), nReceived, nSent);
}

void CRunningPeriod::Begin(TIME64 start, std::int64_t nReceived, std::int64_t nSent) {
    m_info = CConnectionInfo(start, 0, 0, 0);
    m_info.m_nReceivedStart = nReceived;
    m_info.m_nSentStart = nSent;
    m_bRunning = true;
    m_bFromCut = false;
    m_nOnlineMs = 0;
    m_dwLastTicks = Clock::Ticks();
    m_nCheckpointAtMs = CHECKPOINT_DUE;
}

void CRunningPeriod::Update(std::int64_t nReceived, std::int64_t nSent) {
    if (!m_bRunning)
        return;
    CConnectionInfo& info = m_info;
    // The first update supplies a start reading that was missing.
    if (info.m_nReceivedStart <= MISSING_READING || info.m_nSentStart <= MISSING_READING) {
        info.m_nReceivedStart = nReceived;
        info.m_nSentStart = nSent;
    }
    if (nReceived != READING_KEEPS_VOLUME)
        info.m_nReceived = nReceived - info.m_nReceivedStart;
    if (nSent != READING_KEEPS_VOLUME)
        info.m_nSent = nSent - info.m_nSentStart;
    UpdateDuration();
}

void CRunningPeriod::UpdateDuration() {
    const std::uint32_t ticks = Clock::Ticks();
    m_nOnlineMs += static_cast<std::uint32_t>(ticks - m_dwLastTicks);
    m_dwLastTicks = ticks;
    const TIME64 now = Clock::Now();
    const auto measured = static_cast<TIME64>(m_nOnlineMs / 1000);
    const TIME64 byClock = now - m_info.m_timeStart;
    if (byClock - measured > CLOCK_CHANGE_SECONDS || measured - byClock > CLOCK_CHANGE_SECONDS)
        m_info.m_timeStart = now - measured;
    m_info.m_nDuration = static_cast<std::int32_t>(std::max<TIME64>(0, now - m_info.m_timeStart));
}

CConnectionInfo CRunningPeriod::End() {
    m_bRunning = false;
    return m_info; // a copy leaves the start readings behind, as a booked record has none
}

CConnectionInfo CRunningPeriod::Cut() {
    const CConnectionInfo ended = m_info;
    // The readings of the last update, whichever way they were supplied.
    const std::int64_t nReceived = m_info.m_nReceivedStart + m_info.m_nReceived;
    const std::int64_t nSent = m_info.m_nSentStart + m_info.m_nSent;
    Begin(Clock::Now(), nReceived, nSent);
    m_bFromCut = true;
    return ended;
}

void CRunningPeriod::EndTimeAt(TIME64 at) {
    if (m_bRunning && at >= m_info.m_timeStart && at - m_info.m_timeStart < m_info.m_nDuration)
        m_info.m_nDuration = static_cast<std::int32_t>(at - m_info.m_timeStart);
}

CConnectionInfo CRunningPeriod::Continue() {
    const CConnectionInfo ended = m_info;
    const std::int64_t nReceived = m_info.m_nReceivedStart + m_info.m_nReceived;
    const std::int64_t nSent = m_info.m_nSentStart + m_info.m_nSent;
    const TIME64 start = m_info.m_timeStart + m_info.m_nDuration;
    Begin(start, nReceived, nSent);
    // The time since the end is the new period's already.
    m_nOnlineMs = static_cast<std::uint64_t>(std::max<TIME64>(0, Clock::Now() - start)) * 1000;
    return ended;
}

bool CRunningPeriod::IsGapSinceUpdate() const {
    return m_bRunning && static_cast<std::uint32_t>(Clock::Ticks() - m_dwLastTicks) > GAP_MS;
}

bool CRunningPeriod::IsIdleSinceCut() const {
    return m_bRunning && m_bFromCut && m_info.m_nReceived == 0 && m_info.m_nSent == 0;
}

void CRunningPeriod::SetCheckpointInterval(unsigned nSeconds) {
    m_nCheckpointMs = std::uint64_t(nSeconds) * 1000;
}

bool CRunningPeriod::IsCheckpointDue() const {
    return m_bRunning && m_nCheckpointMs != 0 &&
           (m_nCheckpointAtMs == CHECKPOINT_DUE ||
            m_nOnlineMs + CHECKPOINT_SLACK_MS >= m_nCheckpointAtMs + m_nCheckpointMs);
}
