#include "ras/RasApi.h"

CLateBoundLibrary g_rasLibrary("RASAPI32.dll");

RAS_FUNCTIONS g_ras = {
    {g_rasLibrary, "RasEnumDevicesA"},
    {g_rasLibrary, "RasEnumConnectionsA"},
    {g_rasLibrary, "RasGetConnectStatusA"},
    {g_rasLibrary, "RasConnectionNotificationA"},
};
