#pragma once
// The program's hidden main window. It owns the running program's parts (tray icon, byte
// counter, connection watcher, connection log, options sheet), measures online periods through
// its connection accounting, and answers the tray menu and the options sheet.
#include "counters/TrafficCounter.h"
#include "framework/CDeferredMessageBoxes.h"
#include "framework/CFrameWnd.h"
#include "log/CConnectionLog.h"
#include "shell/CAppSettings.h"
#include "shell/COptionsSheetSlot.h"
#include "shell/CSingleInstance.h"
#include "shell/CConnectionAccounting.h"
#include "links/CLinkWatcher.h"
#include "ras/CRasWatcher.h"
#include "shell/CTrayIcon.h"
#include "shell/CVolumeWatch.h"

#include <functional>
#include <memory>
#include <string>

// The message number the shell broadcasts as "TaskbarCreated" when the taskbar is rebuilt,
// registered during static initialisation.
extern const UINT g_nTaskbarCreatedMsg;

class CMainFrame : public CFrameWnd {
public:
    // What the frame's creation builds or asks; tests put their own in place of the system's.
    struct PARTS {
        std::function<int()> checkRasAvailable;
        std::function<std::unique_ptr<CTrafficCounter>()> createCounter;
        std::function<std::unique_ptr<CRasWatcher>()> createWatcher;
        // The counter and the watcher of a chosen network adapter.
        std::function<std::unique_ptr<CTrafficCounter>(const CONNECTIONSETTINGS&)>
            createAdapterCounter;
        std::function<std::unique_ptr<CLinkWatcher>(const CONNECTIONSETTINGS&, DWORD dwCheckMs)>
            createAdapterWatcher;
        std::string logFolder; // empty: the program's folder
        CTrayIcon::ShellNotifyProc shellNotify = &::Shell_NotifyIconA;
    };
    static PARTS SystemParts();

    // The frame of the running instance carries its window class and saves the settings when
    // the session ends; any other frame has the framework's class.
    CMainFrame(CAppSettings& settings, const CSingleInstance& instance,
               PARTS parts = SystemParts());
    ~CMainFrame() override;

    bool IsOptionsSheetOpen() const { return m_optionsSheet.IsOpen(); }
    COptionsPSheet* GetOptionsSheet() const { return m_optionsSheet.Get(); }
    CConnectionLog& GetLog() { return m_log; }
    const CTrayIcon& GetTrayIcon() const { return m_trayIcon; }
    const CConnectionAccounting& GetAccounting() const { return m_accounting; }

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnClose() override;
    BOOL OnCmdMsg(UINT nID) override;
    BOOL OnUpdateCmdUI(CCmdUI& cmdUI) override;

private:
    static CConnectionLog MakeLog(const std::string& folder, fw::CDeferredMessageBoxes& messages);

    void CreateParts();
    void CheckDialUp();
    void CreateTrayIcon();
    void OpenCounter();
    void StartWatcher();
    // "Übernehmen" with another source: the running period is booked as at a hang-up, and the
    // measuring begins anew with the source chosen now.
    void ChangeSource();
    void StopMeasuring();
    // Start-up cannot measure: no start with Windows any more, the message, a silent failure.
    [[noreturn]] void FailMeasuring(UINT nIDMessage);

    void OnEndSession();
    void OnPowerEvent(WPARAM nEvent);
    LRESULT OnOptionsNotify(WPARAM wParam);
    void OnShowLog();
    void OnDeleteLog();
    LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarCreated();
    // The page "Verlauf" shows the log's figures anew, where it is open.
    void RefreshHistory();

    CAppSettings& m_settings;
    const CSingleInstance& m_instance;
    PARTS m_parts;
    // The reports of a start that goes on (a data file that cannot be read, say) wait until the
    // program runs: while they are up, it counts.
    fw::CDeferredMessageBoxes m_startUpMessages;

    // Declared in the reverse of the order in which they go: the destructor body releases the
    // sheet, the counter and the watcher, then the accounting, the log and the tray icon follow.
    CTrayIcon m_trayIcon;
    CConnectionLog m_log;
    CVolumeWatch m_volumeWatch;
    CConnectionAccounting m_accounting; // the measuring timer, m_bConnected and the tray image
    std::unique_ptr<CLinkWatcher> m_pWatcher;
    std::unique_ptr<CTrafficCounter> m_pCounter;
    CONNECTIONSETTINGS m_measured; // the source the counter and the watcher are for
    bool m_bStarted = false;       // the creation went through
    COptionsSheetSlot m_optionsSheet;
};
