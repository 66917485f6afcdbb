#pragma once
// Sets the program's clock and tick count for a test's life, then restores the previous ones.
// The ticks start half a minute before they wrap, so that every length measured across more
// than that crosses the wrap.
#include "log/Clock.h"

#include <cstdint>

class ScopedClock {
public:
    explicit ScopedClock(TIME64 now) : m_now(now) {
        m_previous = Clock::SetNow([this] { return m_now; });
        m_previousTicks = Clock::SetTicks([this] { return static_cast<std::uint32_t>(m_nTicks); });
    }
    ~ScopedClock() {
        Clock::SetNow(m_previous);
        Clock::SetTicks(m_previousTicks);
    }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

    // Time passes until the clock shows now; a time before the clock's is the clock set back.
    void Set(TIME64 now) {
        if (now > m_now)
            m_nTicks += static_cast<std::uint64_t>(now - m_now) * 1000;
        m_now = now;
    }
    void Advance(TIME64 seconds) { Set(m_now + seconds); }
    // The clock is set by so many seconds, forward or back, while no time passes.
    void Jump(TIME64 seconds) { m_now += seconds; }

private:
    TIME64 m_now;
    std::uint64_t m_nTicks = 0xFFFFFFFFull - 30000;
    Clock::NowFunction m_previous;
    Clock::TicksFunction m_previousTicks;
};
