// ui_preview general|volume|info|about [seconds]: opens the options sheet on a page, or the
// About dialog, and closes it after the given time (default 5 seconds). The page "Volumen" shows
// a limit, so that its controls are enabled.
#include "framework/ModelessWindows.h"
#include "ui/CAboutDlg.h"
#include "ui/COptionsPSheet.h"

#include <cstdlib>
#include <cstring>

namespace {

// The sheet's partner: no main window, every help file present.
class PreviewHost : public COptionsHost {
public:
    PROFILEDATA& Profile() override { return m_profile; }
    VOLUMESETTINGS& Volume() override { return m_volume; }
    CONNECTIONSETTINGS& Connection() override { return m_connection; }
    std::vector<ADAPTERENTRY> ListAdapters() override { return m_adapters; }
    HWND GetMainWindow() const override { return nullptr; }
    BOOL HelpFileExists(std::string*) const override { return TRUE; }
    BOOL ShowHelp(DWORD, UINT) override { return TRUE; }

    PROFILEDATA m_profile = {16, TRUE, 0, FALSE};
    VOLUMESETTINGS m_volume;
    CONNECTIONSETTINGS m_connection;
    std::vector<ADAPTERENTRY> m_adapters;
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

// nPage is a stored page number: 0 "Allgemein", 1 "Info", 2 "Volumen".
int RunSheet(int nPage, UINT nMilliseconds) {
    PreviewHost host;
    host.m_profile.nActivePage = nPage;
    host.m_volume.nLimitMB = 5000;
    host.m_volume.nBillingDay = 15;
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
    int nPage = 0;
    if (std::strcmp(what, "info") == 0)
        nPage = 1;
    else if (std::strcmp(what, "volume") == 0)
        nPage = 2;
    return RunSheet(nPage, nMilliseconds);
}
