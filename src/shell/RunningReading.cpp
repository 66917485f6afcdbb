#include "shell/RunningReading.h"

namespace {

constexpr std::uint64_t COUNTER_RANGE = std::uint64_t(1) << 32;

bool WasAboutToWrap(std::uint64_t nPrevious) {
    return nPrevious >= CRunningReading::TOP_QUARTER && nPrevious < COUNTER_RANGE;
}

} // namespace

std::int64_t CRunningReading::Next(std::uint64_t nReading) {
    if (!m_bHasPrevious)
        m_nTotal = static_cast<std::int64_t>(nReading);
    else if (nReading >= m_nPrevious)
        m_nTotal += static_cast<std::int64_t>(nReading - m_nPrevious);
    else if (WasAboutToWrap(m_nPrevious))
        m_nTotal += static_cast<std::int64_t>(COUNTER_RANGE - m_nPrevious + nReading);
    else
        m_nTotal += static_cast<std::int64_t>(nReading); // the counter started again from 0
    m_nPrevious = nReading;
    m_bHasPrevious = true;
    return m_nTotal;
}
