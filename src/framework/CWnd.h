#pragma once
// Base of the program's windows: a C++ object that receives the messages of its window through
// a virtual window procedure. The object is attached while the window is being created, so even
// WM_NCCREATE and WM_CREATE reach it, whatever window procedure the window class itself names
// (DefWindowProcA included).
#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The attached window, or none before creation and after WM_NCDESTROY.
    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // Creates the window through PreCreateWindow and attaches it before its first message.
    // Returns FALSE when the window could not be created; PostNcDestroy has then been called
    // (an object that deletes itself there no longer exists).
    BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                  DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                  HMENU hMenu, void* lpParam = nullptr);

    // Destroys the window; the object may delete itself on the way (PostNcDestroy).
    BOOL DestroyWindow();

    // The object attached to the window by CreateEx, or none.
    static CWnd* FromHandlePermanent(HWND hWnd);

protected:
    // Last chance to change the creation parameters; FALSE stops the creation.
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);

    // Every message of the window passes here; overrides call the base for what they leave.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // WM_CREATE: 0 to go on, -1 to refuse the window.
    virtual int OnCreate(CREATESTRUCTA* cs);

    // WM_COMMAND: TRUE when the command was handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // Called once the window is gone (or its creation failed); the object is detached by then.
    virtual void PostNcDestroy();

    // The handling the window would get without this object.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StdWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam);

    LRESULT CallWindowProcGuarded(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleNcDestroy(WPARAM wParam, LPARAM lParam);
    void Attach(HWND hWnd);
    void Detach();

    WNDPROC m_pfnSuper = nullptr;
};
