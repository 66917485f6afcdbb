#include "system/LateBoundLibrary.h"

#include "system/LateBinding.h"

FARPROC CLateBoundLibrary::Resolve(const char* szProc) {
    const HMODULE hModule = Load();
    const FARPROC proc = LateBindingLoader().pfnGetProcAddress(hModule, szProc);
    if (!proc)
        FailLateBinding(dliFailGetProc, m_szName, szProc, hModule);
    return proc;
}

FARPROC CLateBoundLibrary::TryResolve(const char* szProc) {
    const HMODULE hModule = TryLoad();
    return hModule ? LateBindingLoader().pfnGetProcAddress(hModule, szProc) : nullptr;
}

HMODULE CLateBoundLibrary::Load() {
    const HMODULE hModule = TryLoad();
    if (!hModule)
        FailLateBinding(dliFailLoadLib, m_szName, nullptr, nullptr);
    return hModule;
}

// Two threads may bind their first functions at once and both load the library; the handle is
// published once, and the surplus reference of the second load is given back.
HMODULE CLateBoundLibrary::TryLoad() {
    if (const HMODULE hLoaded = m_hModule.load())
        return hLoaded;
    const LATEBINDING_LOADER& loader = LateBindingLoader();
    const HMODULE hModule = loader.pfnLoadLibrary(m_szName);
    if (!hModule)
        return nullptr;
    if (m_hModule.exchange(hModule) == hModule)
        loader.pfnFreeLibrary(hModule);
    return hModule;
}
