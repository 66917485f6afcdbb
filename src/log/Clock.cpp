#include "log/Clock.h"

#include <windows.h>

#include <ctime>
#include <utility>

namespace Clock {
namespace {

NowFunction& Source() {
    static NowFunction source;
    return source;
}

TicksFunction& TickSource() {
    static TicksFunction source;
    return source;
}

} // namespace

std::uint32_t Ticks() {
    if (TickSource())
        return TickSource()();
    return GetTickCount();
}

TicksFunction SetTicks(TicksFunction ticks) {
    return std::exchange(TickSource(), std::move(ticks));
}

TIME64 Now() {
    if (Source())
        return Source()();
    return _time64(nullptr);
}

NowFunction SetNow(NowFunction now) {
    return std::exchange(Source(), std::move(now));
}

int LocalMonth(TIME64 time) {
    const __time64_t value = time;
    std::tm local{};
    if (_localtime64_s(&local, &value) != 0)
        return 0;
    return local.tm_mon + 1;
}

} // namespace Clock
