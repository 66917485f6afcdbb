// ui_preview general|info|about [seconds]: opens the options sheet on a page, or the About
// dialog, and closes it after the given time (default 5 seconds).
#include "framework/ModelessWindows.h"
#include "ui/AboutDlg.h"
#include "ui/OptionsPSheet.h"

#include <cstdlib>
#include <cstring>

namespace {

// The sheet's partner: no main window, every help file present.
class PreviewHost : public COptionsHost {
public:
    PROFILEDATA& Profile() override { return m_profile; }
    HWND GetMainWindow() const override { return nullptr; }
    BOOL HelpFileExists(std::string*) const override { return TRUE; }
    BOOL ShowHelp(DWORD, UINT) override { return TRUE; }

    PROFILEDATA m_profile = {16, TRUE, 0, FALSE};
};

class TimedAboutDlg : public CAboutDlg {
public:
    explicit TimedAboutDlg(UINT nMilliseconds) : m_nMilliseconds(nMilliseconds) {}

protected:
    BOOL OnInitDialog() override {
        SetTimer(m_hWnd, 1, m_nMilliseconds, nullptr);
        return CAboutDlg::OnInitDialog();
    }
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        if (message != WM_TIMER)
            return CAboutDlg::OnMessage(message, wParam, lParam, pResult);
        EndDialog(IDOK);
        return TRUE;
    }

private:
    UINT m_nMilliseconds;
};

int RunSheet(int nPage, UINT nMilliseconds) {
    PreviewHost host;
    host.m_profile.nActivePage = nPage;
    COptionsPSheet sheet(host);
    if (!sheet.Create())
        return 1;
    DWORD end = GetTickCount() + nMilliseconds;
    while (IsWindow(sheet.GetSafeHwnd()) && GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (fw::FilterModelessMessage(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* what = __argc > 1 ? __argv[1] : "general";
    UINT nMilliseconds = (__argc > 2 ? std::atoi(__argv[2]) : 5) * 1000;
    if (std::strcmp(what, "about") == 0) {
        TimedAboutDlg dlg(nMilliseconds);
        return dlg.DoModal() == IDOK ? 0 : 1;
    }
    return RunSheet(std::strcmp(what, "info") == 0 ? 1 : 0, nMilliseconds);
}
