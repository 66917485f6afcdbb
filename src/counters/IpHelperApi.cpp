#include "counters/IpHelperApi.h"

CLateBoundLibrary g_ipHelperLibrary("iphlpapi.dll");

IPHELPER_FUNCTIONS g_ipHelper = {
    {g_ipHelperLibrary, "GetIfEntry"},
    {g_ipHelperLibrary, "GetAdaptersAddresses"},
    {g_ipHelperLibrary, "NotifyAddrChange"},
    {g_ipHelperLibrary, "CancelIPChangeNotify"},
    {g_ipHelperLibrary, "GetIfTable2"},
    {g_ipHelperLibrary, "GetIfEntry2"},
    {g_ipHelperLibrary, "FreeMibTable"},
    {g_ipHelperLibrary, "NotifyIpInterfaceChange"},
    {g_ipHelperLibrary, "CancelMibChangeNotify2"},
};
