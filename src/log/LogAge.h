#pragma once
// How long the log keeps what it holds: single connections for this many whole days, and a
// month file saved longer ago than that starts the log anew.
#include "log/Clock.h"

constexpr int LOG_KEEP_DAYS = 93;

// Whole days from time to now, truncated toward zero: negative for a time in the future.
inline TIME64 AgeInDays(TIME64 time, TIME64 now) {
    return (now - time) / 86400;
}
