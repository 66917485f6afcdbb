// Test stand-in for the system's pdh.dll: the nine Performance Data Helper functions Tarvolo
// binds, with the dial-up byte counters taken from the simulator's state file. Never shipped.
#include "PerfCatalog.h"
#include "SimStateFile.h"

#include <windows.h>

#include <pdh.h>
#include <pdhmsg.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace dialup_sim;

static_assert(sizeof(PDH_FMT_COUNTERVALUE) == 16, "PDH_FMT_COUNTERVALUE");
static_assert(sizeof(PDH_COUNTER_PATH_ELEMENTS_A) == 6 * sizeof(void*),
              "PDH_COUNTER_PATH_ELEMENTS_A");

namespace {

struct Query;

struct Counter {
    Query* query;
    CounterKind kind;
    bool collected;
    uint64_t value;
    DWORD status;          // the counter status of the last collected value
    LongFormat longFormat; // how PDH_FMT_LONG shows the last collected value
};

struct Query {
    std::vector<Counter*> counters;
};

// Handles are the objects' addresses; only those in the sets are valid.
class Handles {
public:
    Handles() { InitializeCriticalSection(&m_lock); }
    ~Handles() = delete; // lives as long as the process
    void Lock() { EnterCriticalSection(&m_lock); }
    void Unlock() { LeaveCriticalSection(&m_lock); }

    std::set<Query*> queries;
    std::set<Counter*> counters;

private:
    CRITICAL_SECTION m_lock;
};

Handles& TheHandles() {
    static Handles* handles = new Handles;
    return *handles;
}

class HandlesLock {
public:
    HandlesLock() : m_handles(TheHandles()) { m_handles.Lock(); }
    ~HandlesLock() { m_handles.Unlock(); }
    HandlesLock(const HandlesLock&) = delete;
    HandlesLock& operator=(const HandlesLock&) = delete;
    Handles* operator->() { return &m_handles; }

private:
    Handles& m_handles;
};

Query* FindQuery(HandlesLock& handles, PDH_HQUERY handle) {
    Query* query = static_cast<Query*>(handle);
    return handles->queries.count(query) ? query : nullptr;
}

Counter* FindCounter(HandlesLock& handles, PDH_HCOUNTER handle) {
    Counter* counter = static_cast<Counter*>(handle);
    return handles->counters.count(counter) ? counter : nullptr;
}

void DeleteCounter(HandlesLock& handles, Counter* counter) {
    auto& siblings = counter->query->counters;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), counter), siblings.end());
    handles->counters.erase(counter);
    delete counter;
}

PDH_STATUS Status(DWORD code) {
    return static_cast<PDH_STATUS>(code);
}

bool IsLocalMachine(LPCSTR machine) {
    return !machine || !*machine;
}

// The length reported for a list that does not fit: short by the state's pdh_size_short, as
// Windows XP is by one, but never down to nothing.
DWORD ReportedLength(size_t needed, DWORD shortBy) {
    return static_cast<DWORD>(needed > shortBy ? needed - shortBy : needed);
}

// Copies a list into a caller's buffer of *length characters, or tells the length needed.
PDH_STATUS HandOut(const std::string& list, LPSTR buffer, LPDWORD length, DWORD shortBy = 0) {
    const DWORD needed = static_cast<DWORD>(list.size());
    const bool fits = buffer && *length >= needed;
    if (fits && needed > 0)
        std::memcpy(buffer, list.data(), needed);
    *length = fits ? needed : ReportedLength(needed, shortBy);
    return fits ? ERROR_SUCCESS : Status(PDH_MORE_DATA);
}

struct CounterPath {
    std::string object;
    std::string instance;
    bool hasInstance = false;
    std::string counter;
};

// \\machine\object(parent/instance#index)\counter, machine and instance optional.
bool ParseCounterPath(const std::string& path, CounterPath& parts) {
    std::string rest = path;
    if (rest.compare(0, 2, "\\\\") == 0) {
        const size_t end = rest.find('\\', 2);
        if (end == std::string::npos)
            return false;
        rest = rest.substr(end);
    }
    const size_t last = rest.rfind('\\');
    if (rest.empty() || rest[0] != '\\' || last == 0)
        return false;
    parts.counter = rest.substr(last + 1);
    std::string object = rest.substr(1, last - 1);
    const size_t open = object.find('(');
    if (open != std::string::npos) {
        if (object.back() != ')')
            return false;
        parts.instance = object.substr(open + 1, object.size() - open - 2);
        parts.hasInstance = true;
        object.erase(open);
    }
    parts.object = object;
    return !parts.object.empty() && !parts.counter.empty();
}

PDH_STATUS ResolveCounter(const std::string& path, CounterKind& kind) {
    CounterPath parts;
    if (!ParseCounterPath(path, parts))
        return Status(PDH_CSTATUS_BAD_COUNTERNAME);
    const PerfCatalog catalog(LoadSimState());
    const PerfObject* object = catalog.FindObject(parts.object);
    if (!object)
        return Status(PDH_CSTATUS_NO_OBJECT);
    if (parts.hasInstance != !object->instances.empty())
        return Status(PDH_CSTATUS_NO_INSTANCE);
    if (!catalog.HasCounter(*object, parts.counter))
        return Status(PDH_CSTATUS_NO_COUNTER);
    kind = catalog.KindOf(*object, parts.counter);
    return ERROR_SUCCESS;
}

uint64_t CurrentValue(const SimState& state, CounterKind kind) {
    switch (kind) {
    case CounterKind::Received:
        return state.ReceivedCounter();
    case CounterKind::Sent:
        return state.SentCounter();
    case CounterKind::Other:
        break;
    }
    return 0;
}

void Collect(Counter& counter, const SimState& state) {
    const uint64_t value = CurrentValue(state, counter.kind);
    const bool changed = !counter.collected || value != counter.value;
    counter.status = state.newDataStatus && changed ? PDH_CSTATUS_NEW_DATA : PDH_CSTATUS_VALID_DATA;
    counter.longFormat = state.longFormat;
    counter.value = value;
    counter.collected = true;
}

// PDH_FMT_LONG of a count of 2^31 or more is whatever the state's pdh_long plays.
PDH_STATUS FormatLong(const Counter& counter, PPDH_FMT_COUNTERVALUE value) {
    const uint64_t longMax = 0x7FFFFFFF;
    if (counter.value > longMax && counter.longFormat == LongFormat::Error) {
        value->CStatus = PDH_CALC_NEGATIVE_VALUE;
        return Status(PDH_CALC_NEGATIVE_VALUE);
    }
    if (counter.value > longMax && counter.longFormat == LongFormat::Clamp)
        value->longValue = static_cast<LONG>(longMax);
    else
        value->longValue = static_cast<LONG>(static_cast<uint32_t>(counter.value));
    return ERROR_SUCCESS;
}

std::string FormatCounterPath(const PDH_COUNTER_PATH_ELEMENTS_A& elements) {
    std::string path;
    if (elements.szMachineName && *elements.szMachineName) {
        if (std::strncmp(elements.szMachineName, "\\\\", 2) != 0)
            path += "\\\\";
        path += elements.szMachineName;
    }
    path += '\\';
    path += elements.szObjectName;
    if (elements.szInstanceName && *elements.szInstanceName) {
        path += '(';
        if (elements.szParentInstance && *elements.szParentInstance) {
            path += elements.szParentInstance;
            path += '/';
        }
        path += elements.szInstanceName;
        if (elements.dwInstanceIndex > 0)
            path += '#' + std::to_string(elements.dwInstanceIndex);
        path += ')';
    }
    path += '\\';
    path += elements.szCounterName;
    return path;
}

// Tests wait for the program's samples instead of guessing when they come: every successful
// collection writes "<process id>:<count>:<received>:<sent>" (the volumes it took from the state)
// to the file beside the state file.
void NoteCollection(const SimState& state) {
    static LONG collections = 0;
    const std::string path = StateFilePath();
    if (path.empty())
        return;
    const std::string text = std::to_string(GetCurrentProcessId()) + ":" +
                             std::to_string(InterlockedIncrement(&collections)) + ":" +
                             std::to_string(state.received) + ":" + std::to_string(state.sent);
    const HANDLE file = CreateFileA((path + ".collects").c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

extern "C" {

PDH_STATUS WINAPI PdhOpenQueryA(LPCSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query) {
    (void)userData;
    if (!query || (dataSource && *dataSource))
        return Status(PDH_INVALID_ARGUMENT);
    HandlesLock handles;
    Query* created = new Query;
    handles->queries.insert(created);
    *query = created;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhCloseQuery(PDH_HQUERY handle) {
    HandlesLock handles;
    Query* query = FindQuery(handles, handle);
    if (!query)
        return Status(PDH_INVALID_HANDLE);
    while (!query->counters.empty())
        DeleteCounter(handles, query->counters.back());
    handles->queries.erase(query);
    delete query;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhAddCounterA(PDH_HQUERY handle, LPCSTR path, DWORD_PTR userData,
                                 PDH_HCOUNTER* counter) {
    (void)userData;
    if (!path || !counter)
        return Status(PDH_INVALID_ARGUMENT);
    CounterKind kind = CounterKind::Other;
    const PDH_STATUS resolved = ResolveCounter(path, kind);
    HandlesLock handles;
    Query* query = FindQuery(handles, handle);
    if (!query)
        return Status(PDH_INVALID_HANDLE);
    if (resolved != ERROR_SUCCESS)
        return resolved;
    Counter* added = new Counter{query, kind, false, 0, PDH_CSTATUS_INVALID_DATA, LongFormat::Cast};
    query->counters.push_back(added);
    handles->counters.insert(added);
    *counter = added;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhRemoveCounter(PDH_HCOUNTER handle) {
    HandlesLock handles;
    Counter* counter = FindCounter(handles, handle);
    if (!counter)
        return Status(PDH_INVALID_HANDLE);
    DeleteCounter(handles, counter);
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhCollectQueryData(PDH_HQUERY handle) {
    const SimState state = LoadSimState();
    HandlesLock handles;
    Query* query = FindQuery(handles, handle);
    if (!query)
        return Status(PDH_INVALID_HANDLE);
    if (query->counters.empty() || state.collectFails)
        return Status(PDH_NO_DATA);
    for (Counter* counter : query->counters)
        Collect(*counter, state);
    NoteCollection(state);
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhGetFormattedCounterValue(PDH_HCOUNTER handle, DWORD format, LPDWORD type,
                                              PPDH_FMT_COUNTERVALUE value) {
    HandlesLock handles;
    Counter* counter = FindCounter(handles, handle);
    if (!counter)
        return Status(PDH_INVALID_HANDLE);
    const DWORD kinds = format & (PDH_FMT_LONG | PDH_FMT_DOUBLE | PDH_FMT_LARGE);
    if (!value || (kinds != PDH_FMT_LONG && kinds != PDH_FMT_DOUBLE && kinds != PDH_FMT_LARGE))
        return Status(PDH_INVALID_ARGUMENT);
    if (type)
        *type = PERF_COUNTER_RAWCOUNT;
    if (!counter->collected) {
        value->CStatus = PDH_CSTATUS_INVALID_DATA;
        return Status(PDH_INVALID_DATA);
    }
    value->CStatus = counter->status;
    if (kinds == PDH_FMT_LONG)
        return FormatLong(*counter, value);
    if (kinds == PDH_FMT_LARGE)
        value->largeValue = static_cast<LONGLONG>(counter->value);
    else
        value->doubleValue = static_cast<double>(counter->value);
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhEnumObjectsA(LPCSTR dataSource, LPCSTR machine, LPSTR objectList,
                                  LPDWORD length, DWORD detailLevel, WINBOOL refresh) {
    (void)detailLevel;
    (void)refresh;
    if (!length || (dataSource && *dataSource))
        return Status(PDH_INVALID_ARGUMENT);
    if (!IsLocalMachine(machine))
        return Status(PDH_CSTATUS_NO_MACHINE);
    const SimState state = LoadSimState();
    const PerfCatalog catalog(state);
    std::vector<std::string> names;
    for (const PerfObject& object : catalog.Objects())
        names.push_back(object.name);
    return HandOut(MultiString(names), objectList, length, state.pdhSizeShort);
}

PDH_STATUS WINAPI PdhEnumObjectItemsA(LPCSTR dataSource, LPCSTR machine, LPCSTR objectName,
                                      LPSTR counterList, LPDWORD counterLength, LPSTR instanceList,
                                      LPDWORD instanceLength, DWORD detailLevel, DWORD flags) {
    (void)detailLevel;
    (void)flags;
    if (!objectName || !counterLength || !instanceLength || (dataSource && *dataSource))
        return Status(PDH_INVALID_ARGUMENT);
    if (!IsLocalMachine(machine))
        return Status(PDH_CSTATUS_NO_MACHINE);
    const SimState state = LoadSimState();
    const PerfCatalog catalog(state);
    const PerfObject* object = catalog.FindObject(objectName);
    if (!object)
        return Status(PDH_CSTATUS_NO_OBJECT);
    const std::string counters = MultiString(object->counters);
    const std::string instances = MultiString(object->instances);
    const bool countersFit = counterList && *counterLength >= counters.size();
    const bool instancesFit = instanceList && *instanceLength >= instances.size();
    if ((!countersFit && !counters.empty()) || (!instancesFit && !instances.empty())) {
        *counterLength = ReportedLength(counters.size(), state.pdhSizeShort);
        *instanceLength = ReportedLength(instances.size(), state.pdhSizeShort);
        return Status(PDH_MORE_DATA);
    }
    HandOut(counters, counterList, counterLength);
    HandOut(instances, instanceList, instanceLength);
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhMakeCounterPathA(PPDH_COUNTER_PATH_ELEMENTS_A elements, LPSTR path,
                                      LPDWORD length, DWORD flags) {
    (void)flags;
    if (!elements || !length || !elements->szObjectName || !elements->szCounterName)
        return Status(PDH_INVALID_ARGUMENT);
    const std::string text = FormatCounterPath(*elements);
    return HandOut(std::string(text.c_str(), text.size() + 1), path, length);
}

} // extern "C"
