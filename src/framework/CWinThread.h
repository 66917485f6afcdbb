#pragma once
// A worker thread and its handle. The object never deletes itself: whoever began the thread
// owns the object, and destroying it closes the handle without waiting for the thread (a thread
// that was created suspended and never resumed is ended, since it never ran).
#include <windows.h>

#include <memory>

using AFX_THREADPROC = UINT (*)(void* pParam);

class CWinThread {
public:
    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;

    // Lets a thread created suspended run; returns the previous suspend count, or -1.
    DWORD ResumeThread();

    // The thread's exit code, or STILL_ACTIVE while it runs; FALSE when it cannot be read.
    BOOL GetExitCodeThread(DWORD* lpExitCode) const;

private:
    friend std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC, void*, int, UINT, DWORD);
    struct StartData;
    CWinThread() = default;
    static unsigned __stdcall ThreadMain(void* data);

    StartData* m_pUnstarted = nullptr; // start data of a suspended thread that has not run
};

// Begins a thread that runs pfnThreadProc(pParam) and ends with its result; created suspended
// with CREATE_SUSPENDED. Returns none when the thread could not be created.
std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC pfnThreadProc, void* pParam,
                                           int nPriority = THREAD_PRIORITY_NORMAL,
                                           UINT nStackSize = 0, DWORD dwCreateFlags = 0);
