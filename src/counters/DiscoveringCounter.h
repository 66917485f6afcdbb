#pragma once
// What both byte counter back ends do on top of their source: on opening, find the first object
// with one of the dial-up names, and in it the counters with the names of the two byte totals;
// then add those counters for the two byte counter ids. Only the names, their letter-case rule
// and the making of a path differ between the sources.
#include "counters/TrafficCounter.h"

#include <string>
#include <unordered_map>
#include <utility>

struct COUNTERNAME {
    const char* szName;
    DWORD dwId;
};

// The names one source is searched for.
struct COUNTER_NAMES {
    const char* const* pObjects; // object names, compared without letter case
    size_t nObjects;
    const COUNTERNAME* pCounters; // counter names and the ids they are added for
    size_t nCounters;
    bool bCounterCase; // counter names compared with their letter case
};

template <class TSource> class CDiscoveringCounter : public TSource {
public:
    template <class... TArgs>
    explicit CDiscoveringCounter(const COUNTER_NAMES& names, TArgs&&... args)
        : TSource(std::forward<TArgs>(args)...), m_names(names) {}

    // Opens the source, then discovers the counter paths.
    BOOL Open() override {
        if (!TSource::Open())
            return FALSE;
        this->EnumObjects();
        return TRUE;
    }
    BOOL AddCounter(DWORD dwId) override {
        const std::string* path = FindPath(dwId);
        return path ? TSource::AddCounterByPath(dwId, path->c_str()) : FALSE;
    }
    // Searches only the first object with a wanted name.
    BOOL OnObject(const char* szObject) override {
        for (size_t i = 0; i < m_names.nObjects; ++i) {
            if (lstrcmpiA(szObject, m_names.pObjects[i]) == 0) {
                this->EnumObjectItems(szObject);
                return FALSE;
            }
        }
        return TRUE;
    }
    BOOL OnCounter(const char* szObject, const char* szCounter) override {
        for (size_t i = 0; i < m_names.nCounters; ++i) {
            const COUNTERNAME& name = m_names.pCounters[i];
            const int difference = m_names.bCounterCase ? lstrcmpA(szCounter, name.szName)
                                                        : lstrcmpiA(szCounter, name.szName);
            if (difference != 0)
                continue;
            std::string strPath;
            if (MakePath(szObject, szCounter, strPath))
                m_mapPaths[name.dwId] = strPath;
            break;
        }
        return m_mapPaths.size() < COUNTERS_WANTED;
    }

    // The path that discovery found for the id, if any.
    const std::string* FindPath(DWORD dwId) const {
        const auto it = m_mapPaths.find(dwId);
        return it == m_mapPaths.end() ? nullptr : &it->second;
    }

protected:
    // The source's path of a counter of the object.
    virtual BOOL MakePath(const char* szObject, const char* szCounter, std::string& strPath) = 0;

    std::unordered_map<DWORD, std::string> m_mapPaths;

private:
    static const size_t COUNTERS_WANTED = 2;
    const COUNTER_NAMES& m_names;
};
