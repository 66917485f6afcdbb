#include "links/WlanApi.h"

CLateBoundLibrary g_wlanLibrary("wlanapi.dll");

WLAN_FUNCTIONS g_wlan = {
    {g_wlanLibrary, "WlanOpenHandle"},     {g_wlanLibrary, "WlanCloseHandle"},
    {g_wlanLibrary, "WlanEnumInterfaces"}, {g_wlanLibrary, "WlanQueryInterface"},
    {g_wlanLibrary, "WlanFreeMemory"},
};
