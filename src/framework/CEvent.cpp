#include "framework/CEvent.h"

CEvent::CEvent(BOOL bInitiallySignaled, BOOL bManualReset, const char* lpszName)
    : m_hObject(CreateEventA(nullptr, bManualReset, bInitiallySignaled, lpszName)) {}

CEvent::~CEvent() {
    if (m_hObject)
        CloseHandle(m_hObject);
}

BOOL CEvent::SetEvent() {
    return m_hObject && ::SetEvent(m_hObject);
}

BOOL CEvent::ResetEvent() {
    return m_hObject && ::ResetEvent(m_hObject);
}

BOOL CEvent::Lock(DWORD dwTimeout) {
    return m_hObject && WaitForSingleObject(m_hObject, dwTimeout) == WAIT_OBJECT_0;
}
