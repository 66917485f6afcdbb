// ui_preview general|connection|volume|history|info|about [seconds]: opens the options sheet on a
// page, or the About dialog, and closes it after the given time (default 5 seconds). The page
// "Volumen" shows a limit, so that its controls are enabled; the page "Verbindung" three
// adapters, a Wi-Fi one chosen with a network whose name Windows keeps back; the page "Verlauf"
// a made-up billing period.
#include "framework/ModelessWindows.h"
#include "ui/CAboutDlg.h"
#include "ui/COptionsPSheet.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

ADAPTERENTRY Adapter(const char* name, const char* description, const char* guid, bool bConnected) {
    ADAPTERENTRY entry;
    entry.name = name;
    entry.description = description;
    entry.guid = guid;
    entry.bPresent = true;
    entry.bConnected = bConnected;
    return entry;
}

// A billing period of 31 days on its 19th: a quiet day beside one of 2 GB, a limit of 5,000 MB.
HistoryFigures SampleHistory() {
    const int MB = 1048576;
    static const int RECEIVED_MB[] = {120, 85,  0,   240, 60, 2000, 95,  180, 0,  0,
                                      30,  150, 210, 75,  5,  130,  260, 90,  140};
    HistoryFigures figures;
    figures.days.resize(31);
    for (std::size_t i = 0; i < sizeof RECEIVED_MB / sizeof RECEIVED_MB[0]; ++i) {
        figures.days[i].nReceived = std::int64_t(RECEIVED_MB[i]) * MB;
        figures.days[i].nSent = std::int64_t(RECEIVED_MB[i]) * MB / 8;
        figures.nUsed += figures.Counted(figures.days[i]);
    }
    figures.nToday = 18;
    figures.nLimit = std::int64_t(5000) * MB;
    figures.line = "Verbraucht: 4.353 von 5.000 MB (87 %), noch 12 Tage; bei gleichem "
                   "Verbrauch bis 15.02.: etwa 7.295 MB";
    figures.previous = "Vorige Zeitr\xE4ume: 3.870 MB, 4.120 MB, 4.790 MB";
    return figures;
}

// The sheet's partner: no main window, every help file present.
class PreviewHost : public COptionsHost {
public:
    PROFILEDATA& Profile() override { return m_profile; }
    VOLUMESETTINGS& Volume() override { return m_volume; }
    CONNECTIONSETTINGS& Connection() override { return m_connection; }
    std::vector<ADAPTERENTRY> ListAdapters() override {
        ADAPTERENTRY wifi = Adapter("WLAN", "Intel(R) Wi-Fi 6 AX201 160MHz",
                                    "{9E8D7C6B-5A49-4837-2615-0F1E2D3C4B5A}", true);
        wifi.bWifi = true;
        wifi.wlan = WLAN_READING::accessDenied;
        return {Adapter("Mobilfunk", "HUAWEI Mobile Connect - Network Adapter",
                        "{3F1A2B4C-5D6E-4F70-8192-A3B4C5D6E7F8}", true),
                wifi,
                Adapter("Ethernet", "Realtek PCIe GbE Family Controller",
                        "{0A1B2C3D-4E5F-4061-7283-94A5B6C7D8E9}", false)};
    }
    HWND GetMainWindow() const override { return nullptr; }
    BOOL HelpFileExists(std::string*) const override { return TRUE; }
    BOOL ShowHelp(DWORD, UINT) override { return TRUE; }
    HistoryFigures GetHistory() override { return SampleHistory(); }

    PROFILEDATA m_profile = {16, TRUE, 0, FALSE};
    VOLUMESETTINGS m_volume;
    CONNECTIONSETTINGS m_connection{"WLAN", "{9E8D7C6B-5A49-4837-2615-0F1E2D3C4B5A}",
                                    "Pixel-Hotspot"};
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

// nPage is a stored page number: 0 "Allgemein", 1 "Info", 2 "Volumen", 3 "Verlauf",
// 4 "Verbindung".
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
    else if (std::strcmp(what, "connection") == 0)
        nPage = 4;
    else if (std::strcmp(what, "history") == 0)
        nPage = 3;
    return RunSheet(nPage, nMilliseconds);
}
