#include "counters/PdhApi.h"

CLateBoundLibrary g_pdhLibrary("pdh.dll");

PDH_FUNCTIONS g_pdh = {
    {g_pdhLibrary, "PdhOpenQuery"},        {g_pdhLibrary, "PdhCloseQuery"},
    {g_pdhLibrary, "PdhAddCounterA"},      {g_pdhLibrary, "PdhRemoveCounter"},
    {g_pdhLibrary, "PdhCollectQueryData"}, {g_pdhLibrary, "PdhGetFormattedCounterValue"},
    {g_pdhLibrary, "PdhEnumObjectsA"},     {g_pdhLibrary, "PdhEnumObjectItemsA"},
    {g_pdhLibrary, "PdhMakeCounterPathA"},
};
