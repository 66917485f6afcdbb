#pragma once
// A 32-bit byte counter read as a 64-bit running total. On a fast link an online period passes
// 4 GiB, and the counter starts again at 0; a counter also starts again when the service behind
// it restarts. A reading below the previous one therefore counts as a wrap past 2^32 when the
// previous reading lay in the top quarter of the range (the counter was about to wrap), and
// otherwise as a restart of the counter, which counts from 0 again. Neither books phantom
// gigabytes, and a connection's volume stays the plain difference of two running totals.
#include <cstdint>

class CRunningReading {
public:
    // Readings at or above this lie in the top quarter of the 32-bit range.
    static constexpr std::uint32_t TOP_QUARTER = 0xC0000000u;

    // Forgets the readings so far: the next reading starts a new run at its own value.
    void Restart() { m_bHasPrevious = false; }

    // The running total after a new reading.
    std::int64_t Next(std::uint32_t nReading);

    bool HasReading() const { return m_bHasPrevious; }

private:
    bool m_bHasPrevious = false;
    std::uint32_t m_nPrevious = 0;
    std::int64_t m_nTotal = 0;
};
