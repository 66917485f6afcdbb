#include "ras/CRasWatcher.h"

#include "ras/RasApi.h"
#include "ras/RasProbe.h"

#include <algorithm>
#include <vector>

namespace {

// The connection list can grow between asking for its size and reading it: read again this often.
const int ENUMERATION_ATTEMPTS = 3;
// Stop asks this often, 20 ms apart, whether the thread has ended (about 240 ms in all).
const int STOP_EXIT_CODE_ASKS = 11;
const DWORD STOP_STEP_MS = 20;

// Only a connection that is through counts: one still being dialled or authenticated carries no
// traffic yet, and its status may never get past that.
bool IsConnectionUp(ras::HRASCONN hConnection) {
    ras::RASCONNSTATUS status = {};
    status.dwSize = sizeof status;
    return g_ras.RasGetConnectStatusA(hConnection, &status) == ras::RAS_SUCCESS &&
           status.rasconnstate == ras::RASCS_Connected;
}

// Entries that cb bytes hold, a part of an entry counting as a whole one.
size_t EntriesFor(DWORD cb) {
    return (cb + sizeof(ras::RASCONN) - 1) / sizeof(ras::RASCONN);
}

// The entries of the connection list; none when the list cannot be read. The first call asks for
// the size with room announced as 0. After ERROR_BUFFER_TOO_SMALL only the byte count tells the
// size: the count that comes back is that of the entries written, which may be 0.
std::vector<ras::RASCONN> EnumerateConnections() {
    std::vector<ras::RASCONN> entries(1);
    DWORD cbBuffer = 0;
    for (int nCall = 0; nCall <= ENUMERATION_ATTEMPTS; ++nCall) {
        entries[0].dwSize = sizeof(ras::RASCONN);
        const DWORD cbAnnounced = cbBuffer;
        DWORD nListed = 0;
        const DWORD dwResult = g_ras.RasEnumConnectionsA(entries.data(), &cbBuffer, &nListed);
        if (dwResult == ras::RAS_SUCCESS) {
            entries.resize(std::min<size_t>(nListed, EntriesFor(cbAnnounced)));
            return entries;
        }
        if (dwResult != ras::RAS_ERROR_BUFFER_TOO_SMALL || EntriesFor(cbBuffer) == 0)
            break;
        entries.assign(EntriesFor(cbBuffer), ras::RASCONN());
        // Never announce more room than there is, whatever size the call came back with.
        cbBuffer = static_cast<DWORD>(entries.size() * sizeof(ras::RASCONN));
    }
    return std::vector<ras::RASCONN>();
}

} // namespace

CRasWatcher::CRasWatcher() : m_pWorker(std::make_shared<WORKER>()) {}

CRasWatcher::~CRasWatcher() {
    Stop();
}

bool CRasWatcher::Start(HWND hWnd, UINT nMessage) {
    if (!IsWindow(hWnd) || nMessage < WM_USER || !m_pWorker->m_evStop.m_hObject || m_pThread)
        return false;
    // The thread's own hold on its state, handed over when it runs.
    auto pHold = std::make_unique<std::shared_ptr<WORKER>>(m_pWorker);
    m_pThread = AfxBeginThread(&CRasWatcher::ThreadProc, pHold.get(), THREAD_PRIORITY_NORMAL, 0,
                               CREATE_SUSPENDED);
    if (!m_pThread)
        return false;
    // Written before the thread runs, and never again while it does.
    m_pWorker->m_hWnd = hWnd;
    m_pWorker->m_nMessage = nMessage;
    pHold.release();
    m_pThread->ResumeThread();
    return true;
}

void CRasWatcher::Stop() {
    if (m_pThread) {
        m_pWorker->m_evStop.SetEvent();
        WaitForThreadEnd();
        m_pThread.reset();
        // A thread still in a call keeps the old state, with its event set; a later Start
        // begins with a state of its own.
        m_pWorker = std::make_shared<WORKER>();
    }
}

// Only a running thread is asked: one that starts later counts at its start anyway.
void CRasWatcher::CountNow() {
    if (m_pThread && m_pWorker->m_evCountNow.m_hObject)
        m_pWorker->m_evCountNow.SetEvent();
}

void CRasWatcher::WaitForThreadEnd() {
    for (int nAsk = 0; nAsk < STOP_EXIT_CODE_ASKS; ++nAsk) {
        Sleep(STOP_STEP_MS);
        DWORD dwExitCode = 0;
        if (m_pThread->GetExitCodeThread(&dwExitCode) && dwExitCode != STILL_ACTIVE)
            return;
    }
}

int CRasWatcher::CountActiveConnections() {
    const std::vector<ras::RASCONN> entries = EnumerateConnections();
    return static_cast<int>(
        std::count_if(entries.begin(), entries.end(),
                      [](const ras::RASCONN& entry) { return IsConnectionUp(entry.hrasconn); }));
}

UINT CRasWatcher::ThreadProc(void* pParam) {
    const std::unique_ptr<std::shared_ptr<WORKER>> pHold(
        static_cast<std::shared_ptr<WORKER>*>(pParam));
    if (pHold && *pHold)
        (*pHold)->Run();
    return 0;
}

void CRasWatcher::WORKER::Run() {
    CEvent notification;
    // Without an event of its own the thread can only poll; without the one for CountNow it
    // counts only when the service or the poll says so.
    HANDLE waitList[3] = {m_evStop.m_hObject};
    DWORD nWaitObjects = 1;
    const DWORD dwCountNow = m_evCountNow.m_hObject ? WAIT_OBJECT_0 + nWaitObjects : WAIT_FAILED;
    if (m_evCountNow.m_hObject)
        waitList[nWaitObjects++] = m_evCountNow.m_hObject;
    if (notification.m_hObject)
        waitList[nWaitObjects++] = notification.m_hObject;
    const bool bNotified =
        notification.m_hObject && RegisterForNotifications(notification.m_hObject);
    const DWORD dwWaitTime = bNotified ? INFINITE : POLL_INTERVAL_MS;

    m_nLastCount = CountActiveConnections();
    if (IsStopping())
        return;
    Report(0, m_nLastCount);

    for (;;) {
        const DWORD dwWait = WaitForMultipleObjects(nWaitObjects, waitList, FALSE, dwWaitTime);
        if (dwWait == WAIT_OBJECT_0 || dwWait == WAIT_FAILED)
            break;
        Count(bNotified, dwWait == dwCountNow);
        if (IsStopping())
            break;
    }
    // The registration stays: the service offers no way to undo it.
}

// A count that was asked for is reported whatever it is.
void CRasWatcher::WORKER::Count(bool bNotified, bool bAsked) {
    int nCount = CountActiveConnections();
    if (bNotified && !bAsked && nCount == m_nLastCount)
        nCount = RecountWhileUnchanged();
    if (IsStopping())
        return;
    if (nCount != m_nLastCount || bAsked)
        Report(nCount > m_nLastCount ? 1 : 0, nCount);
    m_nLastCount = nCount;
}

bool CRasWatcher::WORKER::RegisterForNotifications(HANDLE hEvent) {
    if (!MayCallRasFunction("RasConnectionNotificationA"))
        return false;
    const auto hAllConnections = reinterpret_cast<ras::HRASCONN>(INVALID_HANDLE_VALUE);
    return g_ras.RasConnectionNotificationA(hAllConnections, hEvent,
                                            ras::RASCN_Connection | ras::RASCN_Disconnection) ==
           ras::RAS_SUCCESS;
}

// The pauses wait for the stop event, so that Stop is never kept waiting by a re-count.
int CRasWatcher::WORKER::RecountWhileUnchanged() {
    int nCount = m_nLastCount;
    for (int nTimes = 0; nTimes < RECOUNT_TIMES && nCount == m_nLastCount; ++nTimes) {
        if (WaitForSingleObject(m_evStop.m_hObject, RECOUNT_INTERVAL_MS) == WAIT_OBJECT_0)
            break;
        nCount = CountActiveConnections();
    }
    return nCount;
}

// After a stop the window may be gone: nothing is reported any more.
bool CRasWatcher::WORKER::IsStopping() {
    return WaitForSingleObject(m_evStop.m_hObject, 0) == WAIT_OBJECT_0;
}

void CRasWatcher::WORKER::Report(WPARAM wParam, int nCount) {
    PostMessageA(m_hWnd, m_nMessage, wParam, static_cast<LPARAM>(nCount));
}
