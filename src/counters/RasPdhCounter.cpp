#include "counters/RasPdhCounter.h"

#include <iterator>

namespace {

// Names of the remote access totals object, as the system's language gives them.
const char* const RAS_OBJECT_NAMES[] = {"RAS insgesamt", "RAS total", "RAS"};

const COUNTERNAME RAS_COUNTER_NAMES[] = {
    {"Bytes gesendet", COUNTER_BYTES_SENT},      {"Bytes transmitted", COUNTER_BYTES_SENT},
    {"Bytes empfangen", COUNTER_BYTES_RECEIVED}, {"Erhaltene Bytes", COUNTER_BYTES_RECEIVED},
    {"Bytes received", COUNTER_BYTES_RECEIVED},
};

const COUNTER_NAMES RAS_NAMES = {RAS_OBJECT_NAMES, std::size(RAS_OBJECT_NAMES), RAS_COUNTER_NAMES,
                                 std::size(RAS_COUNTER_NAMES), false};

} // namespace

CRasPdhCounter::CRasPdhCounter() : CDiscoveringCounter(RAS_NAMES) {}

BOOL CRasPdhCounter::OnInstance(const char*, const char*) {
    return FALSE;
}

BOOL CRasPdhCounter::MakePath(const char* szObject, const char* szCounter, std::string& strPath) {
    return MakeCounterPath(szObject, szCounter, nullptr, strPath);
}
