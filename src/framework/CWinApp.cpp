#include "framework/CWinApp.h"

#include "framework/AppMessageBox.h"
#include "framework/LoadStringResource.h"
#include "framework/ModelessWindows.h"

namespace {

CWinApp* g_pApp = nullptr;

} // namespace

CWinApp::CWinApp(const char* lpszAppName)
    : m_strAppName(lpszAppName ? lpszAppName : ""), m_pPreviousApp(g_pApp) {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = m_pPreviousApp;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return m_nQuitCode;
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
        if (result == 0) {
            m_nQuitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (result == -1)
            break;
        if (!PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG& msg) {
    return fw::FilterModelessMessage(msg);
}

BOOL CWinApp::OnCmdMsg(UINT nID) {
    if (nID != AFX_ID_APP_EXIT)
        return FALSE;
    OnAppExit();
    return TRUE;
}

BOOL CWinApp::OnUpdateCmdUI(CCmdUI&) {
    return FALSE;
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        SendMessageA(m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}

int CWinApp::Main(HINSTANCE hInstance, const char* lpCmdLine, int nCmdShow) {
    m_hInstance = hInstance;
    m_strCmdLine = lpCmdLine ? lpCmdLine : "";
    m_nCmdShow = nCmdShow;
    TakeTitle();
    if (InitInstance())
        return Run();
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->DestroyWindow();
    return ExitInstance();
}

void CWinApp::TakeTitle() {
    if (m_strAppName.empty())
        m_strAppName = fw::LoadStringResource(AFX_IDS_APP_TITLE);
    if (!m_strAppName.empty())
        fw::SetAppTitle(m_strAppName);
}

namespace fw {

CWinApp* GetApp() {
    return g_pApp;
}

int AppWinMain(HINSTANCE hInstance, const char* lpCmdLine, int nCmdShow) {
    CWinApp* app = GetApp();
    return app ? app->Main(hInstance, lpCmdLine, nCmdShow) : -1;
}

} // namespace fw
