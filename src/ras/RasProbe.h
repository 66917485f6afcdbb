#pragma once
// Plain Windows 95 may lack "rasapi32.dll" or some of its functions, and a late-bound call into
// what is missing would end the program. There the callers look first with an explicit load.
#include <windows.h>

// Whether "rasapi32.dll" can be loaded and exports szProc. The library is released again.
BOOL IsRasFunctionPresent(const char* szProc);

// Whether the late-bound function szProc of the dial-up library may be called: always outside
// plain Windows 95, there only when the probe finds it.
BOOL MayCallRasFunction(const char* szProc);
