#include "links/CAdapterWatcher.h"

#include "links/CInterfaceChangeNotification.h"

#include <utility>

namespace {

// Stop asks this often, 20 ms apart, whether the thread has ended (about 240 ms in all).
const int STOP_EXIT_CODE_ASKS = 11;
const DWORD STOP_STEP_MS = 20;

} // namespace

CAdapterWatcher::CAdapterWatcher(SETTINGS settings)
    : m_settings(std::move(settings)), m_pWorker(std::make_shared<WORKER>()) {}

CAdapterWatcher::~CAdapterWatcher() {
    Stop();
}

bool CAdapterWatcher::IsLinkUp(bool bPresent, bool bUp, const std::string& wanted,
                               const WLAN_NETWORK& network) {
    if (!bPresent || !bUp)
        return false;
    if (wanted.empty() || !network.IsReadable() || network.status == WLAN_NETWORK::STATUS::notWifi)
        return true;
    return network.status == WLAN_NETWORK::STATUS::connected && network.ssid == wanted;
}

bool CAdapterWatcher::Start(HWND hWnd, UINT nMessage) {
    if (!IsWindow(hWnd) || nMessage < WM_USER || !m_pWorker->m_evStop.m_hObject ||
        !m_pWorker->m_evLook.m_hObject || !m_pWorker->m_evCountNow.m_hObject || m_pThread)
        return false;
    auto pHold = std::make_unique<std::shared_ptr<WORKER>>(m_pWorker);
    m_pThread = AfxBeginThread(&CAdapterWatcher::ThreadProc, pHold.get(), THREAD_PRIORITY_NORMAL, 0,
                               CREATE_SUSPENDED);
    if (!m_pThread)
        return false;
    m_pWorker->m_settings = m_settings;
    m_pWorker->m_hWnd = hWnd;
    m_pWorker->m_nMessage = nMessage;
    pHold.release();
    m_pThread->ResumeThread();
    return true;
}

void CAdapterWatcher::Stop() {
    if (!m_pThread)
        return;
    m_pWorker->m_evStop.SetEvent();
    for (int nAsk = 0; nAsk < STOP_EXIT_CODE_ASKS; ++nAsk) {
        DWORD dwExitCode = 0;
        if (m_pThread->GetExitCodeThread(&dwExitCode) && dwExitCode != STILL_ACTIVE)
            break;
        Sleep(STOP_STEP_MS);
    }
    m_pThread.reset();
    // A thread still in a call keeps the old state, with its stop event set.
    m_pWorker = std::make_shared<WORKER>();
}

void CAdapterWatcher::CountNow() {
    if (m_pThread)
        m_pWorker->m_evCountNow.SetEvent();
}

UINT CAdapterWatcher::ThreadProc(void* pParam) {
    const std::unique_ptr<std::shared_ptr<WORKER>> pHold(
        static_cast<std::shared_ptr<WORKER>*>(pParam));
    if (pHold && *pHold)
        (*pHold)->Run();
    return 0;
}

void CAdapterWatcher::WORKER::Run() {
    CInterfaceChangeNotification notification(m_evLook.m_hObject);
    const HANDLE waitList[3] = {m_evStop.m_hObject, m_evCountNow.m_hObject, m_evLook.m_hObject};
    CFollowedAdapter adapter(m_settings.guid, m_settings.alias);
    m_bLastUp = ReadLink(adapter, m_lastNetwork);
    if (IsStopping())
        return;
    Report(m_bLastUp ? 1 : 0);
    for (;;) {
        const DWORD dwWait = WaitForMultipleObjects(3, waitList, FALSE, m_settings.dwCheckMs);
        if (dwWait == WAIT_OBJECT_0 || dwWait == WAIT_FAILED)
            break;
        if (dwWait == WAIT_OBJECT_0 + 2)
            notification.Rearm();
        Look(adapter, dwWait == WAIT_OBJECT_0 + 1);
        if (IsStopping())
            break;
    }
}

// A look that was asked for is reported whatever it finds.
void CAdapterWatcher::WORKER::Look(CFollowedAdapter& adapter, bool bAsked) {
    std::string network;
    const bool bUp = ReadLink(adapter, network);
    if (IsStopping())
        return;
    // Another network on the same adapter is another tariff's, or another day's: a new period.
    if (bUp && m_bLastUp && network != m_lastNetwork)
        Report(0);
    if (bUp != m_bLastUp || bAsked || (bUp && network != m_lastNetwork))
        Report(bUp ? 1 : 0);
    m_bLastUp = bUp;
    m_lastNetwork = network;
}

// Up or not, and the Wi-Fi network where it can be read. An adapter that the WLAN functions do
// not list is not asked again until it is found anew.
bool CAdapterWatcher::WORKER::ReadLink(CFollowedAdapter& adapter, std::string& network) {
    network.clear();
    const bool bFound = adapter.Read();
    if (adapter.IsFoundAnew())
        m_bNotWifi = false;
    if (!bFound || !adapter.Get().bUp)
        return false;
    if (m_bNotWifi)
        return true;
    const WLAN_NETWORK wlan = ReadWlanNetwork(adapter.Get().guid);
    m_bNotWifi = wlan.status == WLAN_NETWORK::STATUS::notWifi;
    if (wlan.status == WLAN_NETWORK::STATUS::connected)
        network = wlan.ssid;
    return IsLinkUp(true, true, m_settings.wlanNetwork, wlan);
}

// After a stop the window may be gone: nothing is reported any more.
bool CAdapterWatcher::WORKER::IsStopping() {
    return WaitForSingleObject(m_evStop.m_hObject, 0) == WAIT_OBJECT_0;
}

void CAdapterWatcher::WORKER::Report(int nUp) {
    PostMessageA(m_hWnd, m_nMessage, static_cast<WPARAM>(nUp), static_cast<LPARAM>(nUp));
}
