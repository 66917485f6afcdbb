#pragma once
// A performance data helper in memory, put behind the nine pdh.dll slots for the life of the
// object. It serves objects with counters and instances, counts and records the calls, and
// lets a test make single calls fail.
#include "counters/PdhApi.h"

#include "support/LateSlotOverride.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct FakePdhObject {
    std::string name;
    std::vector<std::string> counters;
    std::vector<std::string> instances;
};

class FakePdh {
public:
    FakePdh();
    ~FakePdh();
    FakePdh(const FakePdh&) = delete;
    FakePdh& operator=(const FakePdh&) = delete;

    // The system's objects, in the order PdhEnumObjectsA lists them.
    std::vector<FakePdhObject> objects;
    // Current values by counter path, served in the large format only; formatting of a path in
    // failingFormat returns an error, of a path in invalidData succeeds with an error status.
    std::map<std::string, LONGLONG> values;
    std::set<std::string> failingFormat;
    std::set<std::string> invalidData;

    // Statuses to answer instead of the normal ones (0 leaves the normal answer).
    pdh::PDH_STATUS openStatus = 0;
    pdh::PDH_STATUS addStatus = 0;
    pdh::PDH_STATUS collectStatus = 0;
    pdh::PDH_STATUS enumObjectsSizeStatus = 0; // normal: PDH_MORE_DATA with the length
    bool enumObjectsSizeZero = false;          // the size call reports a length of 0
    pdh::PDH_STATUS enumObjectsStatus = 0;
    pdh::PDH_STATUS itemsSizeStatus = 0; // normal: PDH_MORE_DATA with the lengths
    bool itemsSizeOk = false;            // the size call answers 0 instead of PDH_MORE_DATA
    pdh::PDH_STATUS itemsStatus = 0;
    pdh::PDH_STATUS makePathSizeStatus = 0; // normal: PDH_MORE_DATA with the length
    pdh::PDH_STATUS makePathStatus = 0;

    // What happened.
    std::vector<std::string> calls;         // function names in call order
    std::vector<std::string> itemsAskedFor; // objects whose items were enumerated (2nd call)
    std::vector<std::string> pathsAdded;    // paths of successful PdhAddCounterA calls
    std::vector<pdh::PDH_COUNTER_PATH_ELEMENTS_A> pathElements; // as handed to the size call
    std::map<pdh::PDH_HCOUNTER, std::string> liveCounters;      // counter handle to path
    std::set<pdh::PDH_HQUERY> openQueries;
    std::vector<pdh::PDH_HCOUNTER> removedCounters;
    int CallCount(const std::string& function) const;

    static FakePdh& Current();
    static std::string PathOf(const std::string& object, const std::string& counter);

    // Handlers of the faked functions.
    pdh::PDH_STATUS OpenQuery(LPCSTR source, DWORD_PTR userData, pdh::PDH_HQUERY* query);
    pdh::PDH_STATUS CloseQuery(pdh::PDH_HQUERY query);
    pdh::PDH_STATUS AddCounter(pdh::PDH_HQUERY query, LPCSTR path, pdh::PDH_HCOUNTER* counter);
    pdh::PDH_STATUS RemoveCounter(pdh::PDH_HCOUNTER counter);
    pdh::PDH_STATUS CollectQueryData(pdh::PDH_HQUERY query);
    pdh::PDH_STATUS GetFormattedValue(pdh::PDH_HCOUNTER counter, DWORD format,
                                      pdh::PDH_FMT_COUNTERVALUE* value);
    pdh::PDH_STATUS EnumObjects(LPSTR list, LPDWORD cch, DWORD detail, BOOL refresh);
    pdh::PDH_STATUS EnumObjectItems(LPCSTR object, LPSTR counters, LPDWORD cchCounters,
                                    LPSTR instances, LPDWORD cchInstances, DWORD detail);
    pdh::PDH_STATUS MakeCounterPath(pdh::PDH_COUNTER_PATH_ELEMENTS_A* elements, LPSTR buffer,
                                    LPDWORD cch);

private:
    const FakePdhObject* FindObject(const std::string& name) const;

    FakePdh* m_previous;
    std::string m_itemsPending;
    int m_nextHandle = 1;
    std::vector<std::shared_ptr<void>> m_overrides;
};
