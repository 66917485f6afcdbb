#pragma once
// Finds the dial-up adapter's byte totals among the PerfStats statistics and adds them for
// the two byte counter ids.
#include "counters/DiscoveringCounter.h"
#include "counters/PerfStatsReader.h"

class CDialUpPerfStatsCounter : public CDiscoveringCounter<CPerfStatsReader> {
public:
    explicit CDialUpPerfStatsCounter(PERFSTATS_SOURCE source = SystemPerfStatsSource());

protected:
    // A statistic's path: component, backslash, statistic.
    BOOL MakePath(const char* szObject, const char* szCounter, std::string& strPath) override;
};
