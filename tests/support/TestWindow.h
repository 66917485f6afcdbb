#pragma once
// A window of a test, owned by its object: the window class is registered once per name, the
// object is found again from the window handle, and whatever the derived window does not take
// goes to DefWindowProcA.
#include <windows.h>

class TestWindow {
public:
    // The derived part is gone by now: the window's last messages go to DefWindowProcA.
    virtual ~TestWindow() {
        if (!m_hWnd)
            return;
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

    // Handles what is queued for this thread, so posted messages arrive.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

protected:
    TestWindow() = default;

    // Called by the derived constructor, when its messages can already reach it.
    void Create(const char* className, const char* title, DWORD style, HWND parent, int size) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc); // fails harmlessly when the class is there already
        m_hWnd = CreateWindowExA(0, className, title, style, 0, 0, size, size, parent, nullptr,
                                 GetModuleHandleA(nullptr), this);
    }

    // true when the message is handled, with its result.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(hWnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        LRESULT result = 0;
        if (self && self->OnMessage(msg, wParam, lParam, result))
            return result;
        return DefWindowProcA(hWnd, msg, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};
