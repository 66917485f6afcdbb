#pragma once
// Finds the byte totals of the remote access service among the performance data helper's
// objects, by their German or English names, and adds them for the two byte counter ids.
#include "counters/PdhQuery.h"

#include <string>
#include <unordered_map>

class CRasPdhCounter : public CPdhQuery {
public:
    // Opens the query, then discovers the counter paths.
    BOOL Open() override;
    BOOL AddCounter(DWORD dwId) override;
    // Searches only the first object with a remote access name.
    BOOL OnObject(const char* szObject) override;
    BOOL OnCounter(const char* szObject, const char* szCounter) override;
    // Instances are of no interest: ends their enumeration at once.
    BOOL OnInstance(const char* szObject, const char* szInstance) override;

    // The path that discovery found for the id, if any.
    const std::string* FindPath(DWORD dwId) const;

protected:
    std::unordered_map<DWORD, std::string> m_mapPaths;

private:
    BOOL DiscoveryGoesOn() const;
};
