#pragma once
// The system's announcement of a change of the network interfaces, as an event that is set:
// NotifyIpInterfaceChange from Vista on (its callback only sets the event, since cancelling
// waits for running callbacks), NotifyAddrChange on XP (asked again after each announcement).
// Either may never come (Wine announces nothing); the watcher looks on its own as well.
#include <windows.h>

class CInterfaceChangeNotification {
public:
    // hEvent: an auto-reset event that outlives this object.
    explicit CInterfaceChangeNotification(HANDLE hEvent);
    // Cancels the announcement; returns once no callback runs any more.
    ~CInterfaceChangeNotification();
    CInterfaceChangeNotification(const CInterfaceChangeNotification&) = delete;
    CInterfaceChangeNotification& operator=(const CInterfaceChangeNotification&) = delete;

    bool IsRegistered() const { return m_hNotification || m_bAddrChange; }
    // After the event was set: XP's announcement holds for one change only.
    void Rearm();

private:
    static VOID WINAPI OnInterfaceChange(PVOID pContext, PVOID pRow, DWORD dwType);
    bool RegisterAddrChange();

    HANDLE m_hEvent;
    HANDLE m_hNotification = nullptr; // NotifyIpInterfaceChange
    bool m_bAddrChange = false;       // NotifyAddrChange pending on m_overlapped
    OVERLAPPED m_overlapped{};
};
