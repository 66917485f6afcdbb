#include "counters/DialUpPerfStatsCounter.h"

#include "counters/WorkingSet.h"

namespace {

const char* const ADAPTER_NAMES[] = {"Dial-Up Adapter", "Dial-Up Networking Adapter"};

struct STATNAME {
    const char* szName;
    DWORD dwId;
};

// Statistic names are compared with their letter case.
const STATNAME BYTE_STAT_NAMES[] = {
    {"TotalBytesRecvd", COUNTER_BYTES_RECEIVED},
    {"TotalBytesXmit", COUNTER_BYTES_SENT},
};

const size_t COUNTERS_WANTED = 2;

} // namespace

BOOL CDialUpPerfStatsCounter::Open() {
    if (!CPerfStatsReader::Open())
        return FALSE;
    EnumObjects();
    TrimWorkingSet();
    return TRUE;
}

BOOL CDialUpPerfStatsCounter::AddCounter(DWORD dwId) {
    const std::string* path = FindPath(dwId);
    return path ? CPerfStatsReader::AddCounterByPath(dwId, path->c_str()) : FALSE;
}

BOOL CDialUpPerfStatsCounter::OnObject(const char* szObject) {
    for (const char* szName : ADAPTER_NAMES) {
        if (lstrcmpiA(szObject, szName) == 0) {
            EnumObjectItems(szObject);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CDialUpPerfStatsCounter::OnCounter(const char* szObject, const char* szCounter) {
    for (const STATNAME& name : BYTE_STAT_NAMES) {
        if (lstrcmpA(szCounter, name.szName) == 0) {
            m_mapPaths[name.dwId] = std::string(szObject) + "\\" + szCounter;
            break;
        }
    }
    return DiscoveryGoesOn();
}

const std::string* CDialUpPerfStatsCounter::FindPath(DWORD dwId) const {
    const auto it = m_mapPaths.find(dwId);
    return it == m_mapPaths.end() ? nullptr : &it->second;
}

BOOL CDialUpPerfStatsCounter::DiscoveryGoesOn() const {
    return m_mapPaths.size() < COUNTERS_WANTED;
}
