#pragma once
// A message-only window on the test's thread that records the watcher's reports, and waits for
// them while it handles the thread's messages.
#include "shell/AppMessages.h"
#include "support/TestWindow.h"

#include <windows.h>

#include <vector>

struct WatcherReport {
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const WatcherReport& other) const {
        return wParam == other.wParam && lParam == other.lParam;
    }
};

class ReportWindow : public TestWindow {
public:
    ReportWindow() { Create("TarvoloWatcherReportTest", "", 0, HWND_MESSAGE, 0); }

    const std::vector<WatcherReport>& Reports() const { return m_reports; }

    // Handles messages until the next report arrives or the time is up; true when one came.
    bool WaitForReport(DWORD dwTimeoutMs) {
        const size_t nBefore = m_reports.size();
        const DWORD dwStart = GetTickCount();
        for (;;) {
            Pump();
            if (m_reports.size() > nBefore)
                return true;
            const DWORD dwElapsed = GetTickCount() - dwStart;
            if (dwElapsed >= dwTimeoutMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, dwTimeoutMs - dwElapsed, QS_ALLINPUT);
        }
    }

    // The next report, or {99, -1} when none came in time.
    WatcherReport NextReport(DWORD dwTimeoutMs = 5000) {
        if (m_nTaken == m_reports.size() && !WaitForReport(dwTimeoutMs))
            return {99, -1};
        return m_reports[m_nTaken++];
    }

    // Handles messages for the whole time; true when no report arrived meanwhile.
    bool StaysQuietFor(DWORD dwMs) {
        const size_t nBefore = m_reports.size();
        const DWORD dwStart = GetTickCount();
        for (DWORD dwElapsed = 0; dwElapsed < dwMs; dwElapsed = GetTickCount() - dwStart)
            WaitForReport(dwMs - dwElapsed);
        Pump();
        return m_reports.size() == nBefore;
    }

private:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (msg != WM_CONNECTIONS_CHANGED)
            return false;
        m_reports.push_back({wParam, lParam});
        result = 1;
        return true;
    }

    std::vector<WatcherReport> m_reports;
    size_t m_nTaken = 0;
};
