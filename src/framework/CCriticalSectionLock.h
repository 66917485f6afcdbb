#pragma once
// Holds a critical section from its construction to the end of its scope.
#include "framework/CCriticalSection.h"

class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSection& section) : m_section(section) {
        m_section.Lock();
    }
    ~CCriticalSectionLock() { m_section.Unlock(); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CCriticalSection& m_section;
};
