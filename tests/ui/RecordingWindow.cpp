#include "RecordingWindow.h"

#include "framework/ModelessWindows.h"
#include "ui/OptionsNotify.h"

namespace {
const char kClassName[] = "TarvoloTestMainWindow";
}

RecordingWindow::RecordingWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc); // fails harmlessly when a previous test registered it
    m_hWnd = CreateWindowExA(0, kClassName, "Tarvolo", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, GetModuleHandleA(nullptr), this);
}

RecordingWindow::~RecordingWindow() {
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

std::vector<WPARAM> RecordingWindow::Received(UINT message) const {
    std::vector<WPARAM> values;
    for (const auto& m : m_messages)
        if (m.message == message)
            values.push_back(m.wParam);
    return values;
}

LRESULT CALLBACK RecordingWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* pCreate = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && (message == WM_OPTIONS_NOTIFY || message == WM_COMMAND)) {
        self->m_messages.push_back({message, wParam, lParam, IsWindow(self->m_hSheet)});
        return message == WM_OPTIONS_NOTIFY ? 1 : 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (fw::FilterModelessMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
