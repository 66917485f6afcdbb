#include "system/LateBinding.h"

#include "framework/AppMessageBox.h"

#include <cstdio>
#include <string>

namespace {

LATEBINDING_LOADER& Loader() {
    static LATEBINDING_LOADER loader = {LoadLibraryA, GetProcAddress, FreeLibrary};
    return loader;
}

LateBindingEnd& End() {
    static LateBindingEnd pfnEnd = nullptr;
    return pfnEnd;
}

template <typename... Args> std::string Format(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string FailureText(unsigned dliNotify, const DelayLoadInfo& info) {
    const char* dll = info.szDll ? info.szDll : "";
    if (dliNotify == dliFailLoadLib)
        return Format("Dll not found: %s", dll);
    if (dliNotify != dliFailGetProc)
        return std::string();
    if (info.dlp.fImportByName)
        return Format("Function %s was not found in %s",
                      info.dlp.szProcName ? info.dlp.szProcName : "", dll);
    return Format("Function ordinal %d was not found in %s", static_cast<int>(info.dlp.dwOrdinal),
                  dll);
}

} // namespace

const LATEBINDING_LOADER& LateBindingLoader() {
    return Loader();
}

LATEBINDING_LOADER SetLateBindingLoader(const LATEBINDING_LOADER& loader) {
    const LATEBINDING_LOADER previous = Loader();
    Loader() = loader;
    return previous;
}

LateBindingEnd SetLateBindingEnd(LateBindingEnd pfnEnd) {
    const LateBindingEnd previous = End();
    End() = pfnEnd;
    return previous;
}

FARPROC WINAPI OnDelayLoadFailure(unsigned dliNotify, PDelayLoadInfo pdli) {
    if (!pdli)
        return nullptr;
    const std::string text = FailureText(dliNotify, *pdli);
    if (!text.empty())
        fw::AppMessageBox(text, MB_OK);
    return nullptr;
}

void FailLateBinding(unsigned dliNotify, LPCSTR szDll, LPCSTR szProc, HMODULE hModule) {
    DelayLoadInfo info = {};
    info.cb = sizeof info;
    info.szDll = szDll;
    info.dlp.fImportByName = TRUE;
    info.dlp.szProcName = szProc;
    info.hmodCur = hModule;
    info.dwLastError = GetLastError();
    OnDelayLoadFailure(dliNotify, &info);

    const UINT uExitCode =
        dliNotify == dliFailLoadLib ? EXIT_LIBRARY_NOT_FOUND : EXIT_FUNCTION_NOT_FOUND;
    if (End())
        End()(uExitCode);
    // Without a replacement the call cannot be completed: nothing after it may run, even if
    // an installed end came back.
    ExitProcess(uExitCode);
}
