#pragma once
// A message-only window on the test's thread that records the watcher's reports, and waits for
// them while it handles the thread's messages.
#include "shell/AppMessages.h"

#include <windows.h>

#include <vector>

struct WatcherReport {
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const WatcherReport& other) const {
        return wParam == other.wParam && lParam == other.lParam;
    }
};

class ReportWindow {
public:
    ReportWindow() {
        static const char* className = RegisterOnce();
        m_hWnd = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), this);
    }
    ~ReportWindow() {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }
    ReportWindow(const ReportWindow&) = delete;
    ReportWindow& operator=(const ReportWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
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

    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

private:
    static const char* RegisterOnce() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TarvoloWatcherReportTest";
        RegisterClassA(&wc);
        return wc.lpszClassName;
    }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(hWnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<ReportWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (self && msg == WM_CONNECTIONS_CHANGED) {
            self->m_reports.push_back({wParam, lParam});
            return 1;
        }
        return DefWindowProcA(hWnd, msg, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
    std::vector<WatcherReport> m_reports;
    size_t m_nTaken = 0;
};
