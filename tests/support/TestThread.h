#pragma once
// A test's second thread on the framework's worker thread: it runs the given function and is
// waited for at Join or when the object goes, so the function never outlives the locals it uses.
#include "framework/CWinThread.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

class TestThread {
public:
    explicit TestThread(std::function<void()> body)
        : m_body(std::move(body)), m_pThread(AfxBeginThread(Run, this)) {
        if (!m_pThread)
            throw std::runtime_error("the test thread could not be started");
    }
    ~TestThread() { Join(); }
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    void Join() {
        if (m_pThread)
            WaitForSingleObject(m_pThread->m_hThread, INFINITE);
        m_pThread.reset();
    }

private:
    static UINT Run(void* pParam) {
        static_cast<TestThread*>(pParam)->m_body();
        return 0;
    }

    std::function<void()> m_body;
    std::unique_ptr<CWinThread> m_pThread;
};
