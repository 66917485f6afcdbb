#pragma once
// The application object: one per program, constructed before WinMain runs. It owns the
// message loop and knows the main window, the instance, the command line and the title.
#include "framework/CCmdUI.h"
#include "framework/CWnd.h"

#include <string>

// String id of the application title, the caption of every message box.
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;
constexpr UINT AFX_ID_APP_EXIT = 0xE141;

class CWinApp {
public:
    // Without a name the title comes from string AFX_IDS_APP_TITLE when the application starts.
    explicit CWinApp(const char* lpszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    HINSTANCE m_hInstance = nullptr;
    std::string m_strCmdLine; // the arguments, without the program's name
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr; // its destruction ends the message loop
    std::string m_strAppName;   // the title

    // TRUE to run the message loop.
    virtual BOOL InitInstance();
    // Called after the loop, and after a failed InitInstance; returns the process exit code.
    virtual int ExitInstance();
    // The message loop; ends with WM_QUIT and returns ExitInstance's result.
    virtual int Run();
    // A message before it is dispatched: TRUE when it has been handled (a modeless dialog's
    // keyboard navigation, for one).
    virtual BOOL PreTranslateMessage(MSG& msg);

    // Commands the main frame left to the application: TRUE when handled. ID_APP_EXIT closes
    // the main window.
    virtual BOOL OnCmdMsg(UINT nID);
    // Menu items the frame left undecided.
    virtual BOOL OnUpdateCmdUI(CCmdUI& cmdUI);

    // Sends WM_CLOSE to the main window.
    void OnAppExit();

    // The application's whole life: takes over instance, command line and title, then
    // InitInstance and Run, or ExitInstance after a failed start. Returns the exit code.
    int Main(HINSTANCE hInstance, const char* lpCmdLine, int nCmdShow);

protected:
    int m_nQuitCode = 0; // wParam of the WM_QUIT that ended the loop

private:
    void TakeTitle();

    CWinApp* m_pPreviousApp;
};

namespace fw {

// The application object, or none.
CWinApp* GetApp();

// The body of the program's WinMain: runs the application object's Main. Returns -1 when
// there is no application object.
int AppWinMain(HINSTANCE hInstance, const char* lpCmdLine, int nCmdShow);

} // namespace fw
