#pragma once
// The byte counter interface: a source of performance objects, each with counters and
// instances, found by enumeration and added to a live set under ids chosen by the caller.
// The back ends (performance data helper, PerfStats registry, a network adapter's own totals)
// sit behind it.
#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

const DWORD COUNTER_BYTES_RECEIVED = 202; // total bytes received over dial-up connections
const DWORD COUNTER_BYTES_SENT = 203;     // total bytes sent over dial-up connections

// The PerfStats back end's answer when it has no value.
const DWORD COUNTER_NO_VALUE = 0xFFFFFFFF;

// Keep the order of the operations: it is the order of their slots.
class CTrafficCounter {
public:
    // Closes the source, then releases the tables.
    virtual ~CTrafficCounter() = default;
    // Opens the source; the byte counter back ends then discover their counter paths.
    virtual BOOL Open() = 0;
    // Removes every added counter, then releases the source.
    virtual void Close() = 0;
    // The counter's raw 32-bit value as of the last Collect; takes no new sample.
    virtual DWORD GetValue(DWORD dwId) = 0;
    // One new sample of every added counter; FALSE without counters or when the source fails.
    virtual BOOL Collect() = 0;
    virtual BOOL RemoveCounter(DWORD dwId) = 0;
    // Adds the counter that discovery found for the id; FALSE when it found none.
    virtual BOOL AddCounter(DWORD dwId) = 0;
    // Adds the counter whose path is the string resource nResourceId, through AddCounterByPath.
    virtual BOOL AddCounterFromResource(DWORD dwId, UINT nResourceId);
    // Adds a counter by its source-specific path; an id already in use is replaced.
    virtual BOOL AddCounterByPath(DWORD dwId, const char* szPath) = 0;
    // Calls OnObject for each object of the source.
    virtual BOOL EnumObjects() = 0;
    // The display name given to the id, if there is a non-empty one.
    virtual BOOL GetCounterName(DWORD dwId, std::string& strName);
    // Calls OnInstance for each instance, then OnCounter for each counter of the object.
    virtual BOOL EnumObjectItems(const char* szObject) = 0;
    // Calls OnInstance for each instance of the object.
    virtual BOOL EnumObjectInstances(const char* szObject) = 0;
    // Enumeration callbacks, once per name: TRUE to go on, FALSE to stop.
    virtual BOOL OnObject(const char* szObject) = 0;
    virtual BOOL OnCounter(const char* szObject, const char* szCounter) = 0;
    virtual BOOL OnInstance(const char* szObject, const char* szInstance) = 0;
    // The counter's value as of the last Collect in the width its source keeps: a count of
    // 2^32 or more where the source has 64 bits, else the 32-bit value of GetValue.
    virtual ULONGLONG GetLargeValue(DWORD dwId) { return GetValue(dwId); }

    // Gives the id a display name for GetCounterName.
    void SetCounterName(DWORD dwId, const std::string& strName) { m_mapNames[dwId] = strName; }

protected:
    // Removes every counter of a back end's table through RemoveCounter, which changes it.
    template <class TTable> void RemoveEachCounter(const TTable& table) {
        std::vector<DWORD> ids;
        for (const auto& entry : table)
            ids.push_back(entry.first);
        for (DWORD dwId : ids)
            RemoveCounter(dwId);
    }

    std::unordered_map<DWORD, std::string> m_mapNames;
};
