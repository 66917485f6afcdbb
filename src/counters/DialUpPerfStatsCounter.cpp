#include "counters/DialUpPerfStatsCounter.h"

#include <iterator>

namespace {

const char* const ADAPTER_NAMES[] = {"Dial-Up Adapter", "Dial-Up Networking Adapter"};

// Statistic names are compared with their letter case.
const COUNTERNAME BYTE_STAT_NAMES[] = {
    {"TotalBytesRecvd", COUNTER_BYTES_RECEIVED},
    {"TotalBytesXmit", COUNTER_BYTES_SENT},
};

const COUNTER_NAMES ADAPTER_STAT_NAMES = {ADAPTER_NAMES, std::size(ADAPTER_NAMES), BYTE_STAT_NAMES,
                                          std::size(BYTE_STAT_NAMES), true};

} // namespace

CDialUpPerfStatsCounter::CDialUpPerfStatsCounter(PERFSTATS_SOURCE source)
    : CDiscoveringCounter(ADAPTER_STAT_NAMES, std::move(source)) {}

BOOL CDialUpPerfStatsCounter::MakePath(const char* szObject, const char* szCounter,
                                       std::string& strPath) {
    strPath = std::string(szObject) + "\\" + szCounter;
    return TRUE;
}
