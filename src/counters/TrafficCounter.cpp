#include "counters/TrafficCounter.h"

#include "framework/LoadStringResource.h"

BOOL CTrafficCounter::AddCounterFromResource(DWORD dwId, UINT nResourceId) {
    std::string strPath;
    return fw::TryLoadStringResource(nResourceId, strPath) &&
           AddCounterByPath(dwId, strPath.c_str());
}

BOOL CTrafficCounter::GetCounterName(DWORD dwId, std::string& strName) {
    const auto it = m_mapNames.find(dwId);
    if (it == m_mapNames.end() || it->second.empty())
        return FALSE;
    strName = it->second;
    return TRUE;
}
