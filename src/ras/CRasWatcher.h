#pragma once
// Watches the dial-up connections on a thread of its own and posts their number to a window
// whenever it changes: wParam 1 when it rose (0 in the first report), lParam the number.
// Waits for the Remote Access Service's events, or counts every two seconds where there are none.
#include "framework/CEvent.h"
#include "framework/CWinThread.h"
#include "links/CLinkWatcher.h"

#include <windows.h>

#include <memory>

class CRasWatcher : public CLinkWatcher {
public:
    CRasWatcher();
    ~CRasWatcher() override;
    CRasWatcher(const CRasWatcher&) = delete;
    CRasWatcher& operator=(const CRasWatcher&) = delete;

    // Starts the thread that reports to hWnd with nMessage (WM_USER or above).
    bool Start(HWND hWnd, UINT nMessage) override;
    // Ends the thread; returns when it has ended or the bounded wait has run out. A thread
    // still inside a call of the service then ends on its own when the call returns, without a
    // report, and touches nothing of the watcher: the watcher may go at once.
    void Stop() override;
    // Has the thread count the connections at once and report the number, changed or not: after
    // a resume or a change of what is measured, the frame asks what is up now.
    void CountNow() override;

    // Dial-up connections that are enumerated and whose state can be read and is connected.
    static int CountActiveConnections();

    // Waits between two counts where the service cannot announce changes.
    static const DWORD POLL_INTERVAL_MS = 2000;
    // A notification may come before the connection list shows the change: re-counts this often,
    // this far apart, while the number stays the same.
    static const int RECOUNT_TIMES = 10;
    static const DWORD RECOUNT_INTERVAL_MS = 200;

private:
    // What the worker thread uses. The watcher and the thread each hold it, so that a thread
    // that Stop could not wait for still finds it when its call of the service returns.
    struct WORKER {
        WORKER() : m_evStop(FALSE, TRUE) {}
        CEvent m_evStop;      // manual reset: tells the worker to leave its loop
        CEvent m_evCountNow;  // auto reset: asks for a count and a report
        int m_nLastCount = 0; // written by the worker only
        UINT m_nMessage = 0;
        HWND m_hWnd = nullptr;

        void Run();
        bool RegisterForNotifications(HANDLE hEvent);
        void Count(bool bNotified, bool bAsked);
        int RecountWhileUnchanged();
        bool IsStopping();
        void Report(WPARAM wParam, int nCount);
    };

    static UINT ThreadProc(void* pParam);
    void WaitForThreadEnd();

    std::unique_ptr<CWinThread> m_pThread; // the worker thread, or none
    std::shared_ptr<WORKER> m_pWorker;     // the state of the next or the running worker
};
