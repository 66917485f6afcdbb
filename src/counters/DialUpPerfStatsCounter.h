#pragma once
// Finds the dial-up adapter's byte totals among the PerfStats statistics and adds them for
// the two byte counter ids.
#include "counters/PerfStatsReader.h"

#include <string>
#include <unordered_map>
#include <utility>

class CDialUpPerfStatsCounter : public CPerfStatsReader {
public:
    explicit CDialUpPerfStatsCounter(PERFSTATS_SOURCE source = SystemPerfStatsSource())
        : CPerfStatsReader(std::move(source)) {}

    // Nothing to open; discovers the statistic paths.
    BOOL Open() override;
    BOOL AddCounter(DWORD dwId) override;
    // Searches only the first component with a dial-up adapter name.
    BOOL OnObject(const char* szObject) override;
    BOOL OnCounter(const char* szObject, const char* szCounter) override;

    // The path that discovery found for the id, if any.
    const std::string* FindPath(DWORD dwId) const;

protected:
    std::unordered_map<DWORD, std::string> m_mapPaths;

private:
    BOOL DiscoveryGoesOn() const;
};
