#pragma once
// Finds the byte totals of the remote access service among the performance data helper's
// objects, by their German or English names, and adds them for the two byte counter ids.
#include "counters/DiscoveringCounter.h"
#include "counters/PdhQuery.h"

class CRasPdhCounter : public CDiscoveringCounter<CPdhQuery> {
public:
    CRasPdhCounter();

    // Instances are of no interest: ends their enumeration at once.
    BOOL OnInstance(const char* szObject, const char* szInstance) override;

protected:
    BOOL MakePath(const char* szObject, const char* szCounter, std::string& strPath) override;
};
