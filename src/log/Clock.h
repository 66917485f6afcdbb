#pragma once
// The program's one source of "now", and the time type of the log. Times are seconds since
// 1970-01-01 00:00:00 UTC in 64 bits; the data files keep them as 32-bit unsigned values, which
// last until 2106.
#include <cstdint>
#include <functional>

using TIME64 = std::int64_t;

namespace Clock {

using NowFunction = std::function<TIME64()>;

// The current time: the system's, or the one a test has set.
TIME64 Now();

// Replaces the source of Now(); an empty function restores the system clock. Returns the
// previous source.
NowFunction SetNow(NowFunction now);

// Milliseconds of a monotonic count that wraps every 49.7 days (the system's tick count, which
// a change of the clock does not move), for measuring a length of time. A test sets its own
// source as for Now.
using TicksFunction = std::function<std::uint32_t()>;
std::uint32_t Ticks();
TicksFunction SetTicks(TicksFunction ticks);

// Calendar month (1 to 12) of a time in local time; 0 when the time cannot be converted.
int LocalMonth(TIME64 time);

// The 32-bit field of a data file: unsigned seconds since 1970. Times outside its range are
// held at its ends instead of wrapping around.
inline std::uint32_t ToFileTime(TIME64 time) {
    if (time < 0)
        return 0;
    if (time > TIME64(0xFFFFFFFF))
        return 0xFFFFFFFF;
    return static_cast<std::uint32_t>(time);
}
inline TIME64 FromFileTime(std::uint32_t seconds) {
    return seconds;
}

} // namespace Clock
