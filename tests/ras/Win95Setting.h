#pragma once
// Plain Windows 95 for the probes: the platform record says 9x family 4.0 for the object's life,
// and the loader behind the probes and the late binding can lose the dial-up library or one of
// its functions.
#include "system/LateBinding.h"
#include "system/OsVersion.h"

#include <windows.h>

#include <atomic>
#include <string>

class ScopedWin95 {
public:
    ScopedWin95() : m_saved(g_osvi) {
        g_osvi.dwPlatformId = PLATFORM_WIN9X;
        g_osvi.dwMajorVersion = 4;
        g_osvi.dwMinorVersion = 0;
    }
    ~ScopedWin95() { g_osvi = m_saved; }
    ScopedWin95(const ScopedWin95&) = delete;
    ScopedWin95& operator=(const ScopedWin95&) = delete;

private:
    OSVERSIONINFOEXA m_saved;
};

// Passes every load on to the system, except that it can refuse the dial-up library or one
// function of it, and counts the loads and releases of the dial-up library.
class DialupLoader {
public:
    DialupLoader() {
        Missing() = std::string();
        MissingProc() = std::string();
        Loads() = 0;
        Releases() = 0;
        m_previous = SetLateBindingLoader({&Load, &Resolve, &Release});
    }
    ~DialupLoader() { SetLateBindingLoader(m_previous); }
    DialupLoader(const DialupLoader&) = delete;
    DialupLoader& operator=(const DialupLoader&) = delete;

    void LoseLibrary() { Missing() = "rasapi32.dll"; }
    void LoseFunction(const char* szProc) { MissingProc() = szProc; }
    int DialupLoads() const { return Loads(); }
    int DialupReleases() const { return Releases(); }

private:
    static bool IsDialup(LPCSTR szDll) { return lstrcmpiA(szDll, "rasapi32.dll") == 0; }
    static HMODULE WINAPI Load(LPCSTR szDll) {
        if (!IsDialup(szDll))
            return LoadLibraryA(szDll);
        ++Loads();
        return Missing().empty() ? LoadLibraryA(szDll) : nullptr;
    }
    static FARPROC WINAPI Resolve(HMODULE hModule, LPCSTR szProc) {
        if (HIWORD(szProc) && MissingProc() == szProc)
            return nullptr;
        return GetProcAddress(hModule, szProc);
    }
    static BOOL WINAPI Release(HMODULE hModule) {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(hModule, path, MAX_PATH);
        const std::string name(path);
        if (name.size() >= 12 && IsDialup(name.substr(name.size() - 12).c_str()))
            ++Releases();
        return FreeLibrary(hModule);
    }

    static std::string& Missing() {
        static std::string name;
        return name;
    }
    static std::string& MissingProc() {
        static std::string name;
        return name;
    }
    static std::atomic<int>& Loads() {
        static std::atomic<int> n;
        return n;
    }
    static std::atomic<int>& Releases() {
        static std::atomic<int> n;
        return n;
    }

    LATEBINDING_LOADER m_previous;
};
