#include "ras/RasProbe.h"

#include "system/LateBinding.h"
#include "system/OsVersion.h"

// Goes through the late-binding loader, so that tests can take the library or a function away.
BOOL IsRasFunctionPresent(const char* szProc) {
    const LATEBINDING_LOADER& loader = LateBindingLoader();
    const HMODULE hModule = loader.pfnLoadLibrary("rasapi32.dll");
    if (!hModule)
        return FALSE;
    const BOOL bPresent = loader.pfnGetProcAddress(hModule, szProc) != nullptr;
    loader.pfnFreeLibrary(hModule);
    return bPresent;
}

BOOL MayCallRasFunction(const char* szProc) {
    return !IsWin95() || IsRasFunctionPresent(szProc);
}
