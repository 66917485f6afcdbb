#include "framework/CWnd.h"

#include "framework/WindowProcFailure.h"

namespace {

const char OBJECT_PROPERTY[] = "fw:CWnd";

// The window this thread is creating through CreateEx, until the CBT hook has attached it.
struct CreationContext {
    CWnd* wnd;
    const char* className;
    bool attached;
};

thread_local CreationContext* t_creating = nullptr;

// Installs the thread's CBT hook for the length of one CreateEx and names the object that the
// next window of the right class belongs to. Nested creations (a window created inside
// WM_CREATE) stack their contexts.
class CreationScope {
public:
    CreationScope(CreationContext& context, HOOKPROC hookProc)
        : m_previous(t_creating),
          m_hook(SetWindowsHookExA(WH_CBT, hookProc, nullptr, GetCurrentThreadId())) {
        t_creating = &context;
    }
    ~CreationScope() {
        if (m_hook)
            UnhookWindowsHookEx(m_hook);
        t_creating = m_previous;
    }
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

    bool Hooked() const { return m_hook != nullptr; }

private:
    CreationContext* m_previous;
    HHOOK m_hook;
};

// The system may create helper windows (an input-method window, for one) inside CreateWindowEx;
// only a window of the requested class is the object's.
bool IsWindowOfClass(HWND hWnd, const char* className) {
    if (IS_INTRESOURCE(className))
        return GetClassWord(hWnd, GCW_ATOM) == LOWORD(reinterpret_cast<ULONG_PTR>(className));
    char name[256] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return lstrcmpiA(name, className) == 0;
}

} // namespace

CWnd::~CWnd() {
    if (!m_hWnd)
        return;
    // The derived parts are gone: the window's last messages reach only this base.
    ::DestroyWindow(m_hWnd);
    if (m_hWnd)
        Detach(); // destroyed from a foreign thread: at least leave no dangling pointer behind
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                    DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                    HMENU hMenu, void* lpParam) {
    CREATESTRUCTA cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = hMenu;
    cs.hInstance = GetModuleHandleA(nullptr);
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs) || !cs.lpszClass) {
        PostNcDestroy();
        return FALSE;
    }

    CreationContext context = {this, cs.lpszClass, false};
    HWND hWnd = nullptr;
    {
        CreationScope scope(context, CbtHookProc);
        if (scope.Hooked())
            hWnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                   static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                   cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    }
    if (context.attached)
        return hWnd != nullptr; // a refused window has already passed WM_NCDESTROY
    if (hWnd)
        ::DestroyWindow(hWnd);
    PostNcDestroy();
    return FALSE;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    return hWnd ? static_cast<CWnd*>(GetPropA(hWnd, OBJECT_PROPERTY)) : nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&) {
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

int CWnd::OnCreate(CREATESTRUCTA* cs) {
    return static_cast<int>(DefaultProc(WM_CREATE, 0, reinterpret_cast<LPARAM>(cs)));
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(m_pfnSuper ? m_pfnSuper : DefWindowProcA, m_hWnd, message, wParam,
                           lParam);
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (!wnd)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        return wnd->HandleNcDestroy(wParam, lParam);
    return wnd->CallWindowProcGuarded(message, wParam, lParam);
}

LRESULT CALLBACK CWnd::CbtHookProc(int code, WPARAM wParam, LPARAM lParam) {
    CreationContext* context = t_creating;
    if (code == HCBT_CREATEWND && context && !context->attached) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (IsWindowOfClass(hWnd, context->className)) {
            context->wnd->Attach(hWnd);
            context->attached = true;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// No C++ exception may unwind through the system's frames that called the window procedure.
LRESULT CWnd::CallWindowProcGuarded(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return WindowProc(message, wParam, lParam);
    } catch (...) {
        return fw::HandleWindowProcFailure(message);
    }
}

LRESULT CWnd::HandleNcDestroy(WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcGuarded(WM_NCDESTROY, wParam, lParam);
    Detach();
    PostNcDestroy(); // may delete this object: nothing of it is touched afterwards
    return result;
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    SetPropA(hWnd, OBJECT_PROPERTY, this);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StdWndProc)));
}

void CWnd::Detach() {
    RemovePropA(m_hWnd, OBJECT_PROPERTY);
    if (m_pfnSuper)
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
}
