#pragma once
// A byte counter read as a 64-bit running total. A counter that the system keeps in 32 bits
// starts again at 0 when an online period on a fast link passes 4 GiB; any counter also starts
// again when the service behind it restarts. A reading below the previous one therefore counts as
// a wrap past 2^32 when the previous reading lay in the top quarter of the 32-bit range (the
// counter was about to wrap), and otherwise as a restart of the counter, which counts from 0
// again. A counter kept in 64 bits passes 2^32 upwards and never looks like a wrap. Neither books
// phantom gigabytes, and a connection's volume stays the plain difference of two running totals.
#include <cstdint>

class CRunningReading {
public:
    // Readings from here up to 2^32 - 1 lie in the top quarter of the 32-bit range.
    static constexpr std::uint64_t TOP_QUARTER = 0xC0000000u;

    // Forgets the readings so far: the next reading starts a new run at its own value.
    void Restart() { m_bHasPrevious = false; }

    // The running total after a new reading.
    std::int64_t Next(std::uint64_t nReading);

    bool HasReading() const { return m_bHasPrevious; }
    // The running total of the last reading.
    std::int64_t Total() const { return m_nTotal; }

private:
    bool m_bHasPrevious = false;
    std::uint64_t m_nPrevious = 0;
    std::int64_t m_nTotal = 0;
};
