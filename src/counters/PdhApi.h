#pragma once
// The Performance Data Helper as this program uses it: its records, constants and the nine
// late-bound functions of "pdh.dll" (ANSI forms). Defined here rather than taken from <pdh.h>,
// whose macros would rename the slots; do not include both in one file.
#include "system/LateBoundFunction.h"

#include <windows.h>

#ifdef _PDH_H_
#error "counters/PdhApi.h replaces <pdh.h>; include only one of them"
#endif

namespace pdh {

using PDH_STATUS = LONG;
using PDH_HQUERY = HANDLE;
using PDH_HCOUNTER = HANDLE;

const PDH_STATUS PDH_CSTATUS_VALID_DATA = 0;
const PDH_STATUS PDH_CSTATUS_NEW_DATA = 1; // valid too: the raw value changed since the last read
const PDH_STATUS PDH_MORE_DATA = static_cast<PDH_STATUS>(0x800007D2);
const PDH_STATUS PDH_INVALID_ARGUMENT = static_cast<PDH_STATUS>(0xC0000BBD);
const PDH_STATUS PDH_INVALID_HANDLE = static_cast<PDH_STATUS>(0xC0000BBC);
const PDH_STATUS PDH_CSTATUS_NO_OBJECT = static_cast<PDH_STATUS>(0xC0000BB8);
const PDH_STATUS PDH_CSTATUS_NO_COUNTER = static_cast<PDH_STATUS>(0xC0000BB9);
const PDH_STATUS PDH_INVALID_DATA = static_cast<PDH_STATUS>(0xC0000BC6);
const PDH_STATUS PDH_NO_DATA = static_cast<PDH_STATUS>(0x800007D5);

const DWORD PERF_DETAIL_WIZARD = 400;
const DWORD PDH_FMT_LARGE = 0x00000400;

struct PDH_FMT_COUNTERVALUE {
    DWORD CStatus;
    union {
        LONG longValue;
        double doubleValue;
        LONGLONG largeValue;
        LPCSTR AnsiStringValue;
        LPCWSTR WideStringValue;
    };
};
static_assert(sizeof(PDH_FMT_COUNTERVALUE) == 16, "laid out as the system's record");

struct PDH_COUNTER_PATH_ELEMENTS_A {
    LPSTR szMachineName;
    LPSTR szObjectName;
    LPSTR szInstanceName;
    LPSTR szParentInstance;
    DWORD dwInstanceIndex;
    LPSTR szCounterName;
};
static_assert(sizeof(PDH_COUNTER_PATH_ELEMENTS_A) == 6 * sizeof(void*),
              "laid out as the system's record");

using PdhOpenQueryFn = PDH_STATUS(WINAPI*)(LPCSTR szDataSource, DWORD_PTR dwUserData,
                                           PDH_HQUERY* phQuery);
using PdhCloseQueryFn = PDH_STATUS(WINAPI*)(PDH_HQUERY hQuery);
using PdhAddCounterAFn = PDH_STATUS(WINAPI*)(PDH_HQUERY hQuery, LPCSTR szFullCounterPath,
                                             DWORD_PTR dwUserData, PDH_HCOUNTER* phCounter);
using PdhRemoveCounterFn = PDH_STATUS(WINAPI*)(PDH_HCOUNTER hCounter);
using PdhCollectQueryDataFn = PDH_STATUS(WINAPI*)(PDH_HQUERY hQuery);
using PdhGetFormattedCounterValueFn = PDH_STATUS(WINAPI*)(PDH_HCOUNTER hCounter, DWORD dwFormat,
                                                          LPDWORD lpdwType,
                                                          PDH_FMT_COUNTERVALUE* pValue);
using PdhEnumObjectsAFn = PDH_STATUS(WINAPI*)(LPCSTR szDataSource, LPCSTR szMachineName,
                                              LPSTR mszObjectList, LPDWORD pcchBufferSize,
                                              DWORD dwDetailLevel, BOOL bRefresh);
using PdhEnumObjectItemsAFn = PDH_STATUS(WINAPI*)(LPCSTR szDataSource, LPCSTR szMachineName,
                                                  LPCSTR szObjectName, LPSTR mszCounterList,
                                                  LPDWORD pcchCounterListLength,
                                                  LPSTR mszInstanceList,
                                                  LPDWORD pcchInstanceListLength,
                                                  DWORD dwDetailLevel, DWORD dwFlags);
using PdhMakeCounterPathAFn = PDH_STATUS(WINAPI*)(PDH_COUNTER_PATH_ELEMENTS_A* pCounterPathElements,
                                                  LPSTR szFullPathBuffer, LPDWORD pcchBufferSize,
                                                  DWORD dwFlags);

} // namespace pdh

// One slot per late-bound function of "pdh.dll".
struct PDH_FUNCTIONS {
    CLateBoundFunction<pdh::PdhOpenQueryFn> PdhOpenQuery;
    CLateBoundFunction<pdh::PdhCloseQueryFn> PdhCloseQuery;
    CLateBoundFunction<pdh::PdhAddCounterAFn> PdhAddCounterA;
    CLateBoundFunction<pdh::PdhRemoveCounterFn> PdhRemoveCounter;
    CLateBoundFunction<pdh::PdhCollectQueryDataFn> PdhCollectQueryData;
    CLateBoundFunction<pdh::PdhGetFormattedCounterValueFn> PdhGetFormattedCounterValue;
    CLateBoundFunction<pdh::PdhEnumObjectsAFn> PdhEnumObjectsA;
    CLateBoundFunction<pdh::PdhEnumObjectItemsAFn> PdhEnumObjectItemsA;
    CLateBoundFunction<pdh::PdhMakeCounterPathAFn> PdhMakeCounterPathA;
};

extern CLateBoundLibrary g_pdhLibrary;
extern PDH_FUNCTIONS g_pdh;
