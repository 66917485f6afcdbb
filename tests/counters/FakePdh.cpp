#include "FakePdh.h"

#include <algorithm>
#include <cstring>

using namespace pdh;

namespace {

FakePdh* g_current = nullptr;

std::string JoinList(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& name : names)
        list += name + '\0';
    return list + '\0';
}

// Answers like the real helper: the length asked for, or the list when there is room.
PDH_STATUS ServeList(const std::vector<std::string>& names, LPSTR buffer, LPDWORD cch) {
    const std::string list = names.empty() ? std::string() : JoinList(names);
    const DWORD needed = static_cast<DWORD>(list.size());
    if (!buffer || *cch < needed) {
        const bool more = needed > *cch;
        *cch = needed;
        return more ? PDH_MORE_DATA : 0;
    }
    std::memcpy(buffer, list.data(), needed);
    *cch = needed;
    return 0;
}

HANDLE MakeHandle(int& next) {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x1000 + next++));
}

PDH_STATUS WINAPI FakeOpenQuery(LPCSTR source, DWORD_PTR userData, PDH_HQUERY* query) {
    return FakePdh::Current().OpenQuery(source, userData, query);
}
PDH_STATUS WINAPI FakeCloseQuery(PDH_HQUERY query) {
    return FakePdh::Current().CloseQuery(query);
}
PDH_STATUS WINAPI FakeAddCounter(PDH_HQUERY query, LPCSTR path, DWORD_PTR, PDH_HCOUNTER* counter) {
    return FakePdh::Current().AddCounter(query, path, counter);
}
PDH_STATUS WINAPI FakeRemoveCounter(PDH_HCOUNTER counter) {
    return FakePdh::Current().RemoveCounter(counter);
}
PDH_STATUS WINAPI FakeCollect(PDH_HQUERY query) {
    return FakePdh::Current().CollectQueryData(query);
}
PDH_STATUS WINAPI FakeFormat(PDH_HCOUNTER counter, DWORD format, LPDWORD,
                             PDH_FMT_COUNTERVALUE* value) {
    return FakePdh::Current().GetFormattedValue(counter, format, value);
}
PDH_STATUS WINAPI FakeEnumObjects(LPCSTR source, LPCSTR machine, LPSTR list, LPDWORD cch,
                                  DWORD detail, BOOL refresh) {
    if (source || machine)
        return PDH_INVALID_ARGUMENT;
    return FakePdh::Current().EnumObjects(list, cch, detail, refresh);
}
PDH_STATUS WINAPI FakeEnumItems(LPCSTR source, LPCSTR machine, LPCSTR object, LPSTR counters,
                                LPDWORD cchCounters, LPSTR instances, LPDWORD cchInstances,
                                DWORD detail, DWORD flags) {
    if (source || machine || flags != 0)
        return PDH_INVALID_ARGUMENT;
    return FakePdh::Current().EnumObjectItems(object, counters, cchCounters, instances,
                                              cchInstances, detail);
}
PDH_STATUS WINAPI FakeMakePath(PDH_COUNTER_PATH_ELEMENTS_A* elements, LPSTR buffer, LPDWORD cch,
                               DWORD flags) {
    if (flags != 0)
        return PDH_INVALID_ARGUMENT;
    return FakePdh::Current().MakeCounterPath(elements, buffer, cch);
}

template <typename Fn> std::shared_ptr<void> Override(CLateBoundFunction<Fn>& slot, Fn fake) {
    return std::make_shared<LateSlotOverride<Fn>>(slot, fake);
}

} // namespace

FakePdh::FakePdh() : m_previous(g_current) {
    g_current = this;
    m_overrides = {
        Override(g_pdh.PdhOpenQuery, &FakeOpenQuery),
        Override(g_pdh.PdhCloseQuery, &FakeCloseQuery),
        Override(g_pdh.PdhAddCounterA, &FakeAddCounter),
        Override(g_pdh.PdhRemoveCounter, &FakeRemoveCounter),
        Override(g_pdh.PdhCollectQueryData, &FakeCollect),
        Override(g_pdh.PdhGetFormattedCounterValue, &FakeFormat),
        Override(g_pdh.PdhEnumObjectsA, &FakeEnumObjects),
        Override(g_pdh.PdhEnumObjectItemsA, &FakeEnumItems),
        Override(g_pdh.PdhMakeCounterPathA, &FakeMakePath),
    };
}

FakePdh::~FakePdh() {
    m_overrides.clear();
    g_current = m_previous;
}

FakePdh& FakePdh::Current() {
    return *g_current;
}

std::string FakePdh::PathOf(const std::string& object, const std::string& counter) {
    return "\\" + object + "\\" + counter;
}

int FakePdh::CallCount(const std::string& function) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), function));
}

const FakePdhObject* FakePdh::FindObject(const std::string& name) const {
    for (const auto& object : objects)
        if (object.name == name)
            return &object;
    return nullptr;
}

PDH_STATUS FakePdh::OpenQuery(LPCSTR source, DWORD_PTR userData, PDH_HQUERY* query) {
    calls.push_back("PdhOpenQuery");
    if (source || userData != 0)
        return PDH_INVALID_ARGUMENT;
    if (openStatus)
        return openStatus;
    *query = MakeHandle(m_nextHandle);
    openQueries.insert(*query);
    return 0;
}

PDH_STATUS FakePdh::CloseQuery(PDH_HQUERY query) {
    calls.push_back("PdhCloseQuery");
    return openQueries.erase(query) ? 0 : PDH_INVALID_HANDLE;
}

PDH_STATUS FakePdh::AddCounter(PDH_HQUERY query, LPCSTR path, PDH_HCOUNTER* counter) {
    calls.push_back("PdhAddCounterA");
    if (!openQueries.count(query))
        return PDH_INVALID_HANDLE;
    if (addStatus)
        return addStatus;
    *counter = MakeHandle(m_nextHandle);
    liveCounters[*counter] = path;
    pathsAdded.push_back(path);
    return 0;
}

PDH_STATUS FakePdh::RemoveCounter(PDH_HCOUNTER counter) {
    calls.push_back("PdhRemoveCounter");
    removedCounters.push_back(counter);
    return liveCounters.erase(counter) ? 0 : PDH_INVALID_HANDLE;
}

PDH_STATUS FakePdh::CollectQueryData(PDH_HQUERY query) {
    calls.push_back("PdhCollectQueryData");
    if (!openQueries.count(query))
        return PDH_INVALID_HANDLE;
    return collectStatus;
}

PDH_STATUS FakePdh::GetFormattedValue(PDH_HCOUNTER counter, DWORD format,
                                      PDH_FMT_COUNTERVALUE* value) {
    calls.push_back("PdhGetFormattedCounterValue");
    const auto it = liveCounters.find(counter);
    if (it == liveCounters.end() || format != PDH_FMT_LARGE)
        return PDH_INVALID_ARGUMENT;
    if (failingFormat.count(it->second))
        return PDH_INVALID_DATA;
    value->CStatus = invalidData.count(it->second) ? PDH_CSTATUS_NO_COUNTER : 0;
    value->largeValue = values[it->second];
    return 0;
}

PDH_STATUS FakePdh::EnumObjects(LPSTR list, LPDWORD cch, DWORD detail, BOOL refresh) {
    calls.push_back("PdhEnumObjectsA");
    if (detail != PERF_DETAIL_WIZARD || !refresh)
        return PDH_INVALID_ARGUMENT;
    std::vector<std::string> names;
    for (const auto& object : objects)
        names.push_back(object.name);
    if (!list) {
        if (enumObjectsSizeZero) {
            *cch = 0;
            return enumObjectsSizeStatus;
        }
        const PDH_STATUS status = ServeList(names, nullptr, cch);
        return enumObjectsSizeStatus ? enumObjectsSizeStatus : status;
    }
    if (enumObjectsStatus)
        return enumObjectsStatus;
    return ServeList(names, list, cch);
}

PDH_STATUS FakePdh::EnumObjectItems(LPCSTR objectName, LPSTR counters, LPDWORD cchCounters,
                                    LPSTR instances, LPDWORD cchInstances, DWORD detail) {
    calls.push_back("PdhEnumObjectItemsA");
    if (detail != PERF_DETAIL_WIZARD)
        return PDH_INVALID_ARGUMENT;
    const FakePdhObject* object = FindObject(objectName);
    if (!object)
        return PDH_CSTATUS_NO_OBJECT;
    // The first call of a pair asks for the lengths, the second fetches the lists.
    if (m_itemsPending != objectName) {
        if (itemsSizeStatus)
            return itemsSizeStatus;
        ServeList(object->counters, nullptr, cchCounters);
        ServeList(object->instances, nullptr, cchInstances);
        m_itemsPending = objectName;
        return itemsSizeOk ? 0 : PDH_MORE_DATA;
    }
    m_itemsPending.clear();
    itemsAskedFor.push_back(objectName);
    if (itemsStatus)
        return itemsStatus;
    const PDH_STATUS counterStatus = ServeList(object->counters, counters, cchCounters);
    const PDH_STATUS instanceStatus = ServeList(object->instances, instances, cchInstances);
    return counterStatus ? counterStatus : instanceStatus;
}

PDH_STATUS FakePdh::MakeCounterPath(PDH_COUNTER_PATH_ELEMENTS_A* elements, LPSTR buffer,
                                    LPDWORD cch) {
    calls.push_back("PdhMakeCounterPathA");
    if (!buffer)
        pathElements.push_back(*elements);
    if (!elements->szObjectName || !elements->szCounterName)
        return PDH_INVALID_ARGUMENT;
    const std::string path = PathOf(elements->szObjectName, elements->szCounterName);
    const DWORD needed = static_cast<DWORD>(path.size() + 1);
    if (!buffer) {
        *cch = needed;
        return makePathSizeStatus ? makePathSizeStatus : PDH_MORE_DATA;
    }
    if (makePathStatus)
        return makePathStatus;
    if (*cch < needed)
        return PDH_MORE_DATA;
    std::memcpy(buffer, path.c_str(), needed);
    *cch = needed;
    return 0;
}
