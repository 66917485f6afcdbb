#include "counters/RasPdhCounter.h"

#include "counters/WorkingSet.h"

namespace {

// Names of the remote access totals object, as the system's language gives them.
const char* const RAS_OBJECT_NAMES[] = {"RAS insgesamt", "RAS total", "RAS"};

struct COUNTERNAME {
    const char* szName;
    DWORD dwId;
};

const COUNTERNAME RAS_COUNTER_NAMES[] = {
    {"Bytes gesendet", COUNTER_BYTES_SENT},      {"Bytes transmitted", COUNTER_BYTES_SENT},
    {"Bytes empfangen", COUNTER_BYTES_RECEIVED}, {"Erhaltene Bytes", COUNTER_BYTES_RECEIVED},
    {"Bytes received", COUNTER_BYTES_RECEIVED},
};

const size_t COUNTERS_WANTED = 2;

} // namespace

BOOL CRasPdhCounter::Open() {
    if (!CPdhQuery::Open())
        return FALSE;
    EnumObjects();
    TrimWorkingSet();
    return TRUE;
}

BOOL CRasPdhCounter::AddCounter(DWORD dwId) {
    const std::string* path = FindPath(dwId);
    return path ? CPdhQuery::AddCounterByPath(dwId, path->c_str()) : FALSE;
}

BOOL CRasPdhCounter::OnObject(const char* szObject) {
    for (const char* szName : RAS_OBJECT_NAMES) {
        if (lstrcmpiA(szObject, szName) == 0) {
            EnumObjectItems(szObject);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CRasPdhCounter::OnCounter(const char* szObject, const char* szCounter) {
    for (const COUNTERNAME& name : RAS_COUNTER_NAMES) {
        if (lstrcmpiA(szCounter, name.szName) != 0)
            continue;
        std::string strPath;
        if (MakeCounterPath(szObject, szCounter, nullptr, strPath))
            m_mapPaths[name.dwId] = strPath;
        break;
    }
    return DiscoveryGoesOn();
}

BOOL CRasPdhCounter::OnInstance(const char*, const char*) {
    return FALSE;
}

const std::string* CRasPdhCounter::FindPath(DWORD dwId) const {
    const auto it = m_mapPaths.find(dwId);
    return it == m_mapPaths.end() ? nullptr : &it->second;
}

BOOL CRasPdhCounter::DiscoveryGoesOn() const {
    return m_mapPaths.size() < COUNTERS_WANTED;
}
