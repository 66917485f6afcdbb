#pragma once
// The dynamic performance statistics of the Windows 95 family: descriptions under the local
// machine's PerfStats\Enum key, live raw values under HKEY_DYN_DATA.
#include "counters/TrafficCounter.h"

#include <functional>
#include <string>
#include <unordered_map>

struct PERFSTAT {
    DWORD dwValue;       // raw value of the latest sample
    DWORD dwTick;        // tick count of the latest sample
    DWORD dwPrevValue;   // raw value of the sample before
    DWORD dwPrevTick;    // tick count of the sample before
    BOOL bDifferentiate; // reported as growth per second
    std::string strName; // the statistic's path: component, backslash, statistic
};

// Where the statistics live and which clock times the samples.
struct PERFSTATS_SOURCE {
    HKEY hEnumRoot; // descriptions: one key per component, below it one per statistic
    std::string strEnumKey;
    HKEY hDataRoot; // live data: <key>\StatData, <key>\StartStat, <key>\StopStat
    std::string strDataKey;
    std::function<DWORD()> fnTickCount;
};

// The system's own places and GetTickCount.
PERFSTATS_SOURCE SystemPerfStatsSource();

class CPerfStatsReader : public CTrafficCounter {
public:
    explicit CPerfStatsReader(PERFSTATS_SOURCE source = SystemPerfStatsSource());
    ~CPerfStatsReader() override;
    CPerfStatsReader(const CPerfStatsReader&) = delete;
    CPerfStatsReader& operator=(const CPerfStatsReader&) = delete;

    // Nothing to open.
    BOOL Open() override;
    void Close() override;
    // The raw value, or for a differentiated statistic its growth per second; COUNTER_NO_VALUE
    // when there is none.
    DWORD GetValue(DWORD dwId) override;
    BOOL Collect() override;
    BOOL RemoveCounter(DWORD dwId) override;
    // Refuses a statistic without a "Differentiate" description.
    BOOL AddCounterByPath(DWORD dwId, const char* szPath) override;
    BOOL EnumObjects() override;
    BOOL EnumObjectItems(const char* szObject) override;
    // Statistics have no instances.
    BOOL EnumObjectInstances(const char* szObject) override;
    BOOL OnInstance(const char* szObject, const char* szInstance) override;

protected:
    std::unordered_map<DWORD, PERFSTAT> m_mapCounters;

    // Starts (bStart) or stops the statistic of the id by reading the value named after it
    // under StartStat or StopStat; TRUE when the read succeeded. Nothing for an unknown id.
    virtual BOOL StartStop(DWORD dwId, bool bStart);

private:
    BOOL ReadSample(PERFSTAT& entry) const;
    // Calls visit(name) for each subkey of the key below the Enum root, until it says stop.
    template <typename Visitor> void EnumSubkeys(const std::string& strKey, Visitor visit) const;

    PERFSTATS_SOURCE m_source;
};
