#pragma once
// The byte counter that fits the platform: the performance data helper on the NT family, the
// PerfStats statistics on the Windows 95 family and on a system that did not tell its version.
#include "system/OsVersion.h"
#include "counters/TrafficCounter.h"

#include <memory>

// Not yet opened.
std::unique_ptr<CTrafficCounter> CreateTrafficCounter(const OSVERSIONINFOEXA& osvi = g_osvi);
