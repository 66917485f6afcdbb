#include "links/CInterfaceChangeNotification.h"

#include "counters/IpHelperApi.h"

CInterfaceChangeNotification::CInterfaceChangeNotification(HANDLE hEvent) : m_hEvent(hEvent) {
    const auto notify = g_ipHelper.NotifyIpInterfaceChange.TryGet();
    if (notify && g_ipHelper.CancelMibChangeNotify2.TryGet()) {
        HANDLE hNotification = nullptr;
        if (notify(AF_UNSPEC, &OnInterfaceChange, m_hEvent, FALSE, &hNotification) == NO_ERROR) {
            m_hNotification = hNotification;
            return;
        }
    }
    m_bAddrChange = RegisterAddrChange();
}

CInterfaceChangeNotification::~CInterfaceChangeNotification() {
    if (m_hNotification)
        g_ipHelper.CancelMibChangeNotify2.Get()(m_hNotification);
    if (m_bAddrChange)
        g_ipHelper.CancelIPChangeNotify.Get()(&m_overlapped);
}

void CInterfaceChangeNotification::Rearm() {
    if (m_bAddrChange)
        m_bAddrChange = RegisterAddrChange();
}

VOID WINAPI CInterfaceChangeNotification::OnInterfaceChange(PVOID pContext, PVOID, DWORD) {
    SetEvent(static_cast<HANDLE>(pContext));
}

// Without a way to cancel it, the request would outlive the event: none is made then.
bool CInterfaceChangeNotification::RegisterAddrChange() {
    if (!g_ipHelper.CancelIPChangeNotify.TryGet())
        return false;
    m_overlapped = OVERLAPPED{};
    m_overlapped.hEvent = m_hEvent;
    HANDLE hHandle = nullptr;
    const DWORD dwResult = g_ipHelper.NotifyAddrChange(&hHandle, &m_overlapped);
    return dwResult == ERROR_IO_PENDING;
}
