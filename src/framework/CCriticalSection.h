#pragma once
// A Win32 critical section, deleted with its owner. Taken through CCriticalSectionLock, so that
// no way out of a locked scope, an exception included, leaves it held.
#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock();
    void Unlock();

private:
    CRITICAL_SECTION m_sect;
};
