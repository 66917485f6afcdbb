#include "counters/PerfStatsReader.h"

#include "framework/CRegistryKey.h"
#include "framework/CRegistryValue.h"
#include "framework/CRegKey.h"

#include <utility>
#include <vector>

namespace {

// Room for a key name of the registry of the Windows 95 family.
const DWORD CCH_KEY_NAME = 261;

std::string JoinPath(const std::string& first, const std::string& second) {
    return first + "\\" + second;
}

} // namespace

PERFSTATS_SOURCE SystemPerfStatsSource() {
    return {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\control\\PerfStats\\Enum",
            HKEY_DYN_DATA, "PerfStats", [] { return GetTickCount(); }};
}

CPerfStatsReader::CPerfStatsReader(PERFSTATS_SOURCE source) : m_source(std::move(source)) {}

CPerfStatsReader::~CPerfStatsReader() {
    Close();
}

BOOL CPerfStatsReader::Open() {
    return TRUE;
}

void CPerfStatsReader::Close() {
    RemoveEachCounter(m_mapCounters);
    m_mapCounters.clear();
}

DWORD CPerfStatsReader::GetValue(DWORD dwId) {
    const auto it = m_mapCounters.find(dwId);
    if (it == m_mapCounters.end())
        return COUNTER_NO_VALUE;
    const PERFSTAT& stat = it->second;
    if (!stat.bDifferentiate)
        return stat.dwValue;
    // Both differences wrap modulo 2^32 and are then read as signed.
    const LONG lElapsed = static_cast<LONG>(stat.dwTick - stat.dwPrevTick);
    const LONG lGrowth = static_cast<LONG>(stat.dwValue - stat.dwPrevValue);
    if (lElapsed <= 0)
        return COUNTER_NO_VALUE;
    return static_cast<DWORD>(MulDiv(1000, lGrowth, lElapsed));
}

BOOL CPerfStatsReader::Collect() {
    if (m_mapCounters.empty())
        return FALSE;
    for (auto& entry : m_mapCounters) {
        PERFSTAT sample = entry.second;
        ReadSample(sample);
        entry.second = sample;
    }
    return TRUE;
}

BOOL CPerfStatsReader::RemoveCounter(DWORD dwId) {
    if (m_mapCounters.find(dwId) == m_mapCounters.end())
        return FALSE;
    StartStop(dwId, false);
    m_mapCounters.erase(dwId);
    return TRUE;
}

BOOL CPerfStatsReader::AddCounterByPath(DWORD dwId, const char* szPath) {
    if (!szPath)
        return FALSE;
    const std::string strDescription = JoinPath(m_source.strEnumKey, szPath);
    std::string strDifferentiate;
    if (!CRegistryKey(m_source.hEnumRoot)
             .ReadString(strDescription.c_str(), "Differentiate", strDifferentiate))
        return FALSE;
    PERFSTAT& stat = m_mapCounters[dwId];
    stat = PERFSTAT{0, 0, 0, 0, lstrcmpiA(strDifferentiate.c_str(), "TRUE") == 0, szPath};
    StartStop(dwId, true);
    return TRUE;
}

BOOL CPerfStatsReader::EnumObjects() {
    EnumSubkeys(m_source.strEnumKey,
                [this](const char* szComponent) { return OnObject(szComponent) != FALSE; });
    return TRUE;
}

BOOL CPerfStatsReader::EnumObjectItems(const char* szObject) {
    EnumSubkeys(JoinPath(m_source.strEnumKey, szObject), [this, szObject](const char* szStat) {
        return OnCounter(szObject, szStat) != FALSE;
    });
    return TRUE;
}

BOOL CPerfStatsReader::EnumObjectInstances(const char*) {
    return FALSE;
}

BOOL CPerfStatsReader::OnInstance(const char*, const char*) {
    return TRUE;
}

BOOL CPerfStatsReader::ReadSample(PERFSTAT& stat) const {
    DWORD dwRaw = 0;
    if (!CRegistryKey(m_source.hDataRoot)
             .ReadBinary(JoinPath(m_source.strDataKey, "StatData").c_str(), stat.strName.c_str(),
                         &dwRaw, sizeof dwRaw))
        return FALSE;
    stat.dwPrevValue = stat.dwValue;
    stat.dwPrevTick = stat.dwTick;
    stat.dwTick = m_source.fnTickCount();
    stat.dwValue = dwRaw; // the registry holds it little-endian, as the machine does
    return TRUE;
}

// Reading the value named after a statistic under StartStat (StopStat) starts (stops) it;
// what is read is of no interest.
BOOL CPerfStatsReader::StartStop(DWORD dwId, bool bStart) {
    const auto it = m_mapCounters.find(dwId);
    if (it == m_mapCounters.end())
        return FALSE;
    const std::string strKey = JoinPath(m_source.strDataKey, bStart ? "StartStat" : "StopStat");
    CRegistryValue discarded;
    return CRegistryKey(m_source.hDataRoot)
        .ReadValue(strKey.c_str(), it->second.strName.c_str(), discarded);
}

template <typename Visitor>
void CPerfStatsReader::EnumSubkeys(const std::string& strKey, Visitor visit) const {
    fw::CRegKey key;
    if (key.Open(m_source.hEnumRoot, strKey.c_str(), KEY_READ) != ERROR_SUCCESS)
        return;
    char szName[CCH_KEY_NAME];
    for (DWORD dwIndex = 0; key.EnumSubKey(dwIndex, szName, CCH_KEY_NAME) == ERROR_SUCCESS;
         ++dwIndex) {
        if (!visit(szName))
            return;
    }
}
