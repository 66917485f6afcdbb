#include "framework/CCriticalSection.h"

CCriticalSection::CCriticalSection() {
    InitializeCriticalSection(&m_sect);
}

CCriticalSection::~CCriticalSection() {
    DeleteCriticalSection(&m_sect);
}

void CCriticalSection::Lock() {
    EnterCriticalSection(&m_sect);
}

void CCriticalSection::Unlock() {
    LeaveCriticalSection(&m_sect);
}
