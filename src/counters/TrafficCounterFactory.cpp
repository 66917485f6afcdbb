#include "counters/TrafficCounterFactory.h"

#include "counters/DialUpPerfStatsCounter.h"
#include "counters/RasPdhCounter.h"

std::unique_ptr<CTrafficCounter> CreateTrafficCounter(const OSVERSIONINFOEXA& osvi) {
    if (IsNtFamily(osvi))
        return std::make_unique<CRasPdhCounter>();
    return std::make_unique<CDialUpPerfStatsCounter>();
}
