#pragma once
// Sets the program's clock to a fixed time for a test's life, then restores the previous one.
#include "log/Clock.h"

class ScopedClock {
public:
    explicit ScopedClock(TIME64 now) : m_now(now) {
        m_previous = Clock::SetNow([this] { return m_now; });
    }
    ~ScopedClock() { Clock::SetNow(m_previous); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

    void Set(TIME64 now) { m_now = now; }
    void Advance(TIME64 seconds) { m_now += seconds; }

private:
    TIME64 m_now;
    Clock::NowFunction m_previous;
};
