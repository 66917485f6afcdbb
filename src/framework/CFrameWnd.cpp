#include "framework/CFrameWnd.h"

#include "framework/CWinApp.h"
#include "framework/LoadStringResource.h"
#include "framework/RegisterWindowClass.h"

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          void* pContext) {
    std::string title = fw::LoadStringResource(nIDResource);
    title = title.substr(0, title.find('\n'));
    HWND parent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    return CreateEx(0, nullptr, title.c_str(), dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, pContext);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = fw::FrameWindowClassName();
    return cs.lpszClass != nullptr;
}

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam)) // the system menu has no commands of ours
            UpdateMenuItems(reinterpret_cast<HMENU>(wParam));
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM) {
    // Menus and accelerators send codes 0 and 1; a button click is code 0 as well.
    if (HIWORD(wParam) > 1)
        return FALSE;
    UINT id = LOWORD(wParam);
    if (OnCmdMsg(id))
        return TRUE;
    CWinApp* app = fw::GetApp();
    return app && app->OnCmdMsg(id);
}

void CFrameWnd::PostNcDestroy() {
    CWinApp* app = fw::GetApp();
    const bool wasMainWindow = app && app->m_pMainWnd == this;
    if (wasMainWindow)
        app->m_pMainWnd = nullptr;
    if (m_bAutoDelete)
        delete this;
    // Only after the object is gone: whatever its destruction shows (a file error, say) must
    // not meet a pending quit, which would close the message box at once.
    if (wasMainWindow)
        PostQuitMessage(0);
}

void CFrameWnd::OnClose() {
    DestroyWindow();
}

BOOL CFrameWnd::OnCmdMsg(UINT) {
    return FALSE;
}

BOOL CFrameWnd::OnUpdateCmdUI(CCmdUI&) {
    return FALSE;
}

void CFrameWnd::UpdateMenuItems(HMENU hMenu) {
    CWinApp* app = fw::GetApp();
    const int count = GetMenuItemCount(hMenu);
    for (int index = 0; index < count; ++index) {
        const UINT id = GetMenuItemID(hMenu, index);
        if (id == 0 || id == static_cast<UINT>(-1)) // separator or submenu
            continue;
        CCmdUI cmdUI(hMenu, static_cast<UINT>(index), id);
        if (!OnUpdateCmdUI(cmdUI) && app)
            app->OnUpdateCmdUI(cmdUI);
    }
}
