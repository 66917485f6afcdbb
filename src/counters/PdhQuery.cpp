#include "counters/PdhQuery.h"

#include "framework/MultiString.h"

#include <algorithm>
#include <vector>

using namespace pdh;

namespace {

// A list can grow between asking for its size and fetching it, and Windows XP reports a size one
// character short: a list that does not fit is fetched again this often, with more room.
const int LIST_FETCH_ATTEMPTS = 4;

// A list of n characters holds no name when n is 2 or less (at most its two terminators).
const DWORD CCH_EMPTY_LIST = 2;

// The buffer of a list of cch characters; null when there is nothing to receive.
char* ListBuffer(std::vector<char>& buffer, DWORD cch) {
    buffer.assign(cch, '\0');
    return buffer.empty() ? nullptr : buffer.data();
}

// Room for a list that did not fit in cchTried characters. The size reported after a buffer that
// was too small is not to be relied on, so the room at least doubles.
DWORD GrownLength(DWORD cchReported, DWORD cchTried) {
    return std::max(cchReported, 2 * std::max(cchTried, CCH_EMPTY_LIST));
}

// A formatted value counts only with a success status: new data or data unchanged since the last
// read.
bool HasValidData(const PDH_FMT_COUNTERVALUE& value) {
    return value.CStatus == static_cast<DWORD>(PDH_CSTATUS_VALID_DATA) ||
           value.CStatus == static_cast<DWORD>(PDH_CSTATUS_NEW_DATA);
}

} // namespace

CPdhQuery::~CPdhQuery() {
    Close();
}

BOOL CPdhQuery::Open() {
    return g_pdh.PdhOpenQuery(nullptr, 0, &m_hQuery) == 0;
}

void CPdhQuery::Close() {
    RemoveEachCounter(m_mapCounters);
    if (m_hQuery)
        g_pdh.PdhCloseQuery(m_hQuery);
    m_hQuery = nullptr;
}

DWORD CPdhQuery::GetValue(DWORD dwId) {
    return static_cast<DWORD>(GetLargeValue(dwId));
}

ULONGLONG CPdhQuery::GetLargeValue(DWORD dwId) {
    const auto it = m_mapCounters.find(dwId);
    return it == m_mapCounters.end() ? 0 : static_cast<ULONGLONG>(it->second.llValue);
}

BOOL CPdhQuery::Collect() {
    if (m_mapCounters.empty())
        return FALSE;
    if (g_pdh.PdhCollectQueryData(m_hQuery) != 0)
        return FALSE;
    // The large format, since a count of 2^31 or more has no reliable form as a 32-bit long.
    for (auto& entry : m_mapCounters) {
        PDH_FMT_COUNTERVALUE value = {};
        if (g_pdh.PdhGetFormattedCounterValue(entry.second.hCounter, PDH_FMT_LARGE, nullptr,
                                              &value) == 0 &&
            HasValidData(value))
            entry.second.llValue = value.largeValue;
    }
    return TRUE;
}

BOOL CPdhQuery::RemoveCounter(DWORD dwId) {
    const auto it = m_mapCounters.find(dwId);
    if (it != m_mapCounters.end()) {
        if (it->second.hCounter)
            g_pdh.PdhRemoveCounter(it->second.hCounter);
        m_mapCounters.erase(it);
    }
    return TRUE;
}

BOOL CPdhQuery::AddCounterByPath(DWORD dwId, const char* szPath) {
    if (!szPath || !*szPath)
        return FALSE;
    RemoveCounter(dwId);
    PDH_HCOUNTER hCounter = nullptr;
    if (g_pdh.PdhAddCounterA(m_hQuery, szPath, 0, &hCounter) != 0)
        return FALSE;
    m_mapCounters[dwId] = PDHENTRY{0, hCounter};
    return TRUE;
}

BOOL CPdhQuery::EnumObjects() {
    DWORD cch = 0;
    PDH_STATUS status =
        g_pdh.PdhEnumObjectsA(nullptr, nullptr, nullptr, &cch, PERF_DETAIL_WIZARD, TRUE);
    if (cch == 0)
        return status == 0;
    std::vector<char> buffer;
    for (int nAttempt = 1;; ++nAttempt) {
        buffer.assign(cch, '\0');
        DWORD cchReported = cch;
        status = g_pdh.PdhEnumObjectsA(nullptr, nullptr, buffer.data(), &cchReported,
                                       PERF_DETAIL_WIZARD, TRUE);
        if (status != PDH_MORE_DATA || nAttempt == LIST_FETCH_ATTEMPTS)
            break;
        cch = GrownLength(cchReported, cch);
    }
    if (status == 0)
        ForEachString(buffer.data(), buffer.size(),
                      [this](const std::string& name) { return OnObject(name.c_str()) != FALSE; });
    return status == 0;
}

BOOL CPdhQuery::EnumObjectItems(const char* szObject) {
    return EnumItems(szObject, true);
}

BOOL CPdhQuery::EnumObjectInstances(const char* szObject) {
    return EnumItems(szObject, false);
}

BOOL CPdhQuery::EnumItems(const char* szObject, bool bCounters) {
    DWORD cchCounters = 0;
    DWORD cchInstances = 0;
    const PDH_STATUS sizeStatus =
        g_pdh.PdhEnumObjectItemsA(nullptr, nullptr, szObject, nullptr, &cchCounters, nullptr,
                                  &cchInstances, PERF_DETAIL_WIZARD, 0);
    if (sizeStatus != 0 && sizeStatus != PDH_MORE_DATA)
        return FALSE;
    std::vector<char> counters;
    std::vector<char> instances;
    for (int nAttempt = 1;; ++nAttempt) {
        const DWORD cchCountersTried = cchCounters;
        const DWORD cchInstancesTried = cchInstances;
        const PDH_STATUS status = g_pdh.PdhEnumObjectItemsA(
            nullptr, nullptr, szObject, ListBuffer(counters, cchCounters), &cchCounters,
            ListBuffer(instances, cchInstances), &cchInstances, PERF_DETAIL_WIZARD, 0);
        if (status == 0)
            break;
        if (status != PDH_MORE_DATA || nAttempt == LIST_FETCH_ATTEMPTS)
            return FALSE;
        // Either list may be the one that did not fit; a list that was empty stays without room.
        cchCounters = cchCountersTried ? GrownLength(cchCounters, cchCountersTried) : cchCounters;
        cchInstances =
            cchInstancesTried ? GrownLength(cchInstances, cchInstancesTried) : cchInstances;
    }
    // The lengths now tell what was written; the walks never pass the buffers' ends.
    if (cchInstances > CCH_EMPTY_LIST)
        ForEachString(instances.data(), instances.size(), [&](const std::string& instance) {
            return OnInstance(szObject, instance.c_str()) != FALSE;
        });
    if (bCounters && cchCounters > CCH_EMPTY_LIST)
        ForEachString(counters.data(), counters.size(), [&](const std::string& counter) {
            return OnCounter(szObject, counter.c_str()) != FALSE;
        });
    return TRUE;
}

BOOL CPdhQuery::MakeCounterPath(const char* szObject, const char* szCounter, const char* szInstance,
                                std::string& strPath) {
    strPath.clear();
    PDH_COUNTER_PATH_ELEMENTS_A elements = {};
    elements.szObjectName = const_cast<LPSTR>(szObject);
    elements.szInstanceName = const_cast<LPSTR>(szInstance);
    elements.szCounterName = const_cast<LPSTR>(szCounter);
    DWORD cch = 0;
    const PDH_STATUS sizeStatus = g_pdh.PdhMakeCounterPathA(&elements, nullptr, &cch, 0);
    if (sizeStatus != 0 && sizeStatus != PDH_MORE_DATA)
        return FALSE;
    std::vector<char> buffer(cch + 1, '\0');
    const PDH_STATUS status = g_pdh.PdhMakeCounterPathA(&elements, buffer.data(), &cch, 0);
    strPath = buffer.data();
    return status == 0;
}
