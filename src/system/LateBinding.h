#pragma once
// What happens when a late-bound system library or one of its functions cannot be found: the
// failure hook tells the user which, and the program ends. Loading and ending go through two
// narrow seams, so that tests can watch the binding and survive its failure.
#include <windows.h>

#include <delayimp.h>

// The calls that load a library, resolve a function and release a surplus reference.
struct LATEBINDING_LOADER {
    HMODULE(WINAPI* pfnLoadLibrary)(LPCSTR szDll);
    FARPROC(WINAPI* pfnGetProcAddress)(HMODULE hModule, LPCSTR szProc);
    BOOL(WINAPI* pfnFreeLibrary)(HMODULE hModule);
};

const LATEBINDING_LOADER& LateBindingLoader();
// Installs other loader calls and returns the previous ones.
LATEBINDING_LOADER SetLateBindingLoader(const LATEBINDING_LOADER& loader);

// Ends the program after a failed binding; it must not return.
using LateBindingEnd = void (*)(UINT uExitCode);
// Installs another end and returns the previous one; null restores ExitProcess.
LateBindingEnd SetLateBindingEnd(LateBindingEnd pfnEnd);

// Exit codes of a program ended by a failed binding: the exception codes with which the
// platform's own delay-load helper would have ended it.
const UINT EXIT_LIBRARY_NOT_FOUND = 0xC06D007E;
const UINT EXIT_FUNCTION_NOT_FOUND = 0xC06D007F;

// Shows which library (dliFailLoadLib) or function (dliFailGetProc) is missing, in English, in
// a box with OK only. Returns no replacement address.
FARPROC WINAPI OnDelayLoadFailure(unsigned dliNotify, PDelayLoadInfo pdli);

// The failure path of a binding: the hook, then the end of the program.
[[noreturn]] void FailLateBinding(unsigned dliNotify, LPCSTR szDll, LPCSTR szProc, HMODULE hModule);
