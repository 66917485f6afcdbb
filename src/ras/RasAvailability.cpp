#include "ras/RasAvailability.h"

#include "ras/RasApi.h"
#include "ras/RasProbe.h"

#include <climits>

int CheckRasAvailable() {
    if (!MayCallRasFunction("RasEnumDevicesA"))
        return RAS_CHECK_MISSING;
    DWORD cb = 0;
    DWORD nDevices = 0;
    switch (g_ras.RasEnumDevicesA(nullptr, &cb, &nDevices)) {
    case ras::RAS_SUCCESS:
    case ras::RAS_ERROR_BUFFER_TOO_SMALL:
        // A count past the range of the result must not read as a failure.
        return nDevices > INT_MAX ? INT_MAX : static_cast<int>(nDevices);
    case ras::RAS_ERROR_CANNOT_INITIALIZE:
        return RAS_CHECK_RASMAN_FAILED;
    default:
        return RAS_CHECK_FAILED;
    }
}
