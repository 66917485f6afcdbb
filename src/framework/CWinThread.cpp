#include "framework/CWinThread.h"

#include <process.h>

struct CWinThread::StartData {
    AFX_THREADPROC proc;
    void* param;
};

CWinThread::~CWinThread() {
    if (m_pUnstarted) {
        TerminateThread(m_hThread, 0);
        WaitForSingleObject(m_hThread, INFINITE);
        delete m_pUnstarted;
    }
    if (m_hThread)
        CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread() {
    const DWORD previous = ::ResumeThread(m_hThread);
    if (previous != static_cast<DWORD>(-1))
        m_pUnstarted = nullptr; // the thread owns its start data from now on
    return previous;
}

BOOL CWinThread::GetExitCodeThread(DWORD* lpExitCode) const {
    return ::GetExitCodeThread(m_hThread, lpExitCode);
}

unsigned __stdcall CWinThread::ThreadMain(void* data) {
    std::unique_ptr<StartData> start(static_cast<StartData*>(data));
    return start->proc(start->param);
}

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC pfnThreadProc, void* pParam,
                                           int nPriority, UINT nStackSize, DWORD dwCreateFlags) {
    std::unique_ptr<CWinThread> thread(new CWinThread);
    auto* start = new CWinThread::StartData{pfnThreadProc, pParam};
    unsigned id = 0;
    // Always created suspended, so that the priority is set before the thread runs.
    thread->m_hThread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, nStackSize, CWinThread::ThreadMain, start, CREATE_SUSPENDED, &id));
    if (!thread->m_hThread) {
        delete start;
        return nullptr;
    }
    thread->m_nThreadID = id;
    thread->m_pUnstarted = start;
    if (nPriority != THREAD_PRIORITY_NORMAL)
        SetThreadPriority(thread->m_hThread, nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}
