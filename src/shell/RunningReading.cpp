#include "shell/RunningReading.h"

namespace {

constexpr std::int64_t COUNTER_RANGE = std::int64_t(1) << 32;

} // namespace

std::int64_t CRunningReading::Next(std::uint32_t nReading) {
    if (!m_bHasPrevious)
        m_nTotal = nReading;
    else if (nReading >= m_nPrevious)
        m_nTotal += nReading - m_nPrevious;
    else if (m_nPrevious >= TOP_QUARTER)
        m_nTotal += COUNTER_RANGE - m_nPrevious + nReading; // wrapped past 2^32 - 1
    else
        m_nTotal += nReading; // the counter started again from 0
    m_nPrevious = nReading;
    m_bHasPrevious = true;
    return m_nTotal;
}
