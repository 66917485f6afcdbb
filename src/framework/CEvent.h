#pragma once
// An owned Win32 event object, closed with its owner.
#include <windows.h>

class CEvent {
public:
    // Unnamed unless a name is given; auto-reset unless bManualReset.
    explicit CEvent(BOOL bInitiallySignaled = FALSE, BOOL bManualReset = FALSE,
                    const char* lpszName = nullptr);
    ~CEvent();
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    BOOL SetEvent();
    BOOL ResetEvent();

    // Waits until the event is signalled: TRUE when it was within the time.
    BOOL Lock(DWORD dwTimeout = INFINITE);

    // The handle, for the wait functions; none if the event could not be created.
    HANDLE m_hObject;
    operator HANDLE() const { return m_hObject; }
};
