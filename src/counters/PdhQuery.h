#pragma once
// One query of the performance data helper and the counters added to it under ids.
#include "counters/PdhApi.h"
#include "counters/TrafficCounter.h"

#include <string>
#include <unordered_map>

struct PDHENTRY {
    LONGLONG llValue;           // value at the last successful formatting; 0 when added
    pdh::PDH_HCOUNTER hCounter; // the counter in the query
};

class CPdhQuery : public CTrafficCounter {
public:
    CPdhQuery() = default;
    ~CPdhQuery() override;
    CPdhQuery(const CPdhQuery&) = delete;
    CPdhQuery& operator=(const CPdhQuery&) = delete;

    BOOL Open() override;
    void Close() override;
    DWORD GetValue(DWORD dwId) override;
    ULONGLONG GetLargeValue(DWORD dwId) override;
    BOOL Collect() override;
    BOOL RemoveCounter(DWORD dwId) override;
    BOOL AddCounterByPath(DWORD dwId, const char* szPath) override;
    BOOL EnumObjects() override;
    BOOL EnumObjectItems(const char* szObject) override;
    BOOL EnumObjectInstances(const char* szObject) override;

    // The full path of a counter of the local machine; szInstance may be null.
    BOOL MakeCounterPath(const char* szObject, const char* szCounter, const char* szInstance,
                         std::string& strPath);

protected:
    pdh::PDH_HQUERY m_hQuery = nullptr;
    std::unordered_map<DWORD, PDHENTRY> m_mapCounters;

private:
    BOOL EnumItems(const char* szObject, bool bCounters);
};
