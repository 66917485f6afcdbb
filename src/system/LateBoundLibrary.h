#pragma once
// A system library loaded at the first call of one of its functions and never unloaded.
#include <windows.h>

#include <atomic>

class CLateBoundLibrary {
public:
    constexpr explicit CLateBoundLibrary(const char* szName) : m_szName(szName), m_hModule() {}
    CLateBoundLibrary(const CLateBoundLibrary&) = delete;
    CLateBoundLibrary& operator=(const CLateBoundLibrary&) = delete;

    const char* GetName() const { return m_szName; }
    // The module, or null while no function of the library has been bound.
    HMODULE GetModule() const { return m_hModule.load(); }

    // The address of a function of the library, loading the library first if it is not yet.
    // A missing library or function takes the failure path, which does not return.
    FARPROC Resolve(const char* szProc);
    // The same for a function that a system may lack (one of a later Windows): null where the
    // library or the function is missing, and the program goes on.
    FARPROC TryResolve(const char* szProc);

private:
    HMODULE Load();
    HMODULE TryLoad();

    const char* m_szName;
    std::atomic<HMODULE> m_hModule;
};
