#include "shell/CMainFrame.h"

#include "counters/CAdapterCounter.h"
#include "counters/TrafficCounterFactory.h"
#include "links/CAdapterWatcher.h"
#include "shell/AdapterList.h"
#include "system/WorkingSet.h"
#include "framework/AppMessageBox.h"
#include "framework/CResourceException.h"
#include "framework/CUserException.h"
#include "framework/LoadStringResource.h"
#include "resource.h"
#include "shell/AppMessages.h"
#include "shell/HistoryCount.h"
#include "ras/RasAvailability.h"

#include <prsht.h>

#include <algorithm>

const UINT g_nTaskbarCreatedMsg = RegisterWindowMessageA("TaskbarCreated");

CMainFrame::PARTS CMainFrame::SystemParts() {
    PARTS parts;
    parts.checkRasAvailable = &CheckRasAvailable;
    parts.createCounter = [] { return CreateTrafficCounter(g_osvi); };
    parts.createWatcher = [] { return std::make_unique<CRasWatcher>(); };
    parts.createAdapterCounter = [](const CONNECTIONSETTINGS& connection) {
        return std::make_unique<CAdapterCounter>(connection.adapterGuid, connection.adapterName);
    };
    parts.createAdapterWatcher = [](const CONNECTIONSETTINGS& connection, DWORD dwCheckMs) {
        return std::make_unique<CAdapterWatcher>(CAdapterWatcher::SETTINGS{
            connection.adapterGuid, connection.adapterName, connection.wlanNetwork, dwCheckMs});
    };
    return parts;
}

CConnectionLog CMainFrame::MakeLog(const std::string& folder, fw::CDeferredMessageBoxes& messages) {
    const fw::CDeferredMessageBoxes::Scope deferred(messages);
    return folder.empty() ? CConnectionLog() : CConnectionLog(folder);
}

CMainFrame::CMainFrame(CAppSettings& settings, const CSingleInstance& instance, PARTS parts)
    : m_settings(settings), m_instance(instance), m_parts(std::move(parts)),
      m_trayIcon(m_parts.shellNotify), m_log(MakeLog(m_parts.logFolder, m_startUpMessages)),
      m_volumeWatch(
          settings.m_volume, settings.LoadVolumeWarned(),
          [&settings](const CVolumeWatch::WARNED& warned) { settings.SaveVolumeWarned(warned); }),
      m_accounting(m_log, m_trayIcon), m_optionsSheet(settings) {
    m_log.SetCheckpointInterval(settings.m_nCheckpointSeconds);
    m_volumeWatch.KeepSplitsIn(settings.LoadVolumeSplit(),
                               [&settings](const auto& split) { settings.SaveVolumeSplit(split); });
    m_accounting.SetVolumeWatch(&m_volumeWatch);
    settings.SetAdapterLister([&settings] { return ListAdapterEntries(settings.m_connection); });
    settings.SetHistorySource([this] {
        return CountHistory(m_log.GetConnectionsSince(0), m_volumeWatch, Clock::Now(),
                            CNumberFormat(0));
    });
}

CMainFrame::~CMainFrame() {
    m_optionsSheet.Release();
    m_settings.SetAdapterLister(nullptr);
    m_settings.SetHistorySource(nullptr);
    m_accounting.SetCounter(nullptr);
    m_pCounter.reset();
    // Stops the watcher's thread.
    m_pWatcher.reset();
    // Then the accounting, the log (which books a connection still running) and the tray icon.
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (const char* className = m_instance.FrameClassName())
        cs.lpszClass = className;
    return CFrameWnd::PreCreateWindow(cs);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (m_optionsSheet.OnTimer(wParam) || m_trayIcon.OnTimer(wParam))
            return 0;
        m_accounting.OnTimer(wParam);
        if (wParam == IDT_MEASURE || wParam == IDT_PERIOD_START)
            RefreshHistory();
        break; // and on to the default handling
    case WM_TRAY_NOTIFY:
        return OnTrayNotification(wParam, lParam);
    case WM_OPTIONS_NOTIFY:
        return OnOptionsNotify(wParam);
    case WM_CONNECTIONS_CHANGED: {
        const LRESULT result = m_accounting.OnConnectionsChanged(wParam, lParam);
        RefreshHistory();
        return result;
    }
    case WM_POWERBROADCAST:
        // Sent, and so perhaps inside a message box or a shell call that the log is waiting
        // for: the work waits for the message loop.
        PostMessageA(m_hWnd, WM_POWER_EVENT, wParam, 0);
        return TRUE;
    case WM_POWER_EVENT:
        OnPowerEvent(wParam);
        return 0;
    case WM_TIMECHANGE:
        m_accounting.ArmPeriodStartTimer();
        break;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            OnEndSession();
        return 0;
    default:
        if (message == g_nTaskbarCreatedMsg && message != 0)
            return OnTaskbarCreated();
        break;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs) {
    try {
        if (CFrameWnd::OnCreate(cs) == -1)
            throw CResourceException();
        CreateParts();
    } catch (const CUserException&) {
        return -1; // the user has been told
    } catch (const CException& e) {
        e.ReportError(MB_OK);
        return -1;
    }
    m_bStarted = true;
    m_accounting.UpdateTrayIcon();
    m_accounting.ArmPeriodStartTimer();
    m_startUpMessages.ShowWhenIdle();
    return 0;
}

void CMainFrame::CreateParts() {
    m_measured = m_settings.m_connection;
    // An adapter needs no dial-up service; one that is missing is no error either (it is not
    // connected until it comes).
    if (!m_measured.UsesAdapter())
        CheckDialUp();
    CreateTrayIcon();
    OpenCounter();
    StartWatcher();
    const fw::CDeferredMessageBoxes::Scope deferred(m_startUpMessages);
    m_log.SetSortOrder(m_settings.m_profile.bSortAscending != 0);
}

void CMainFrame::CheckDialUp() {
    const int nResult = m_parts.checkRasAvailable();
    if (nResult >= 0)
        return; // devices or none: the interface works
    FailMeasuring(nResult == RAS_CHECK_MISSING ? IDS_RAS_MISSING : IDS_RAS_FAILED);
}

void CMainFrame::CreateTrayIcon() {
    const HICON hIcon = m_accounting.LoadTrayImage();
    const std::string tip = fw::LoadStringResource(IDS_APP_TITLE);
    // At logon the taskbar may come after the program, and under load the shell's call can
    // time out: the program counts all the same, and the icon offers itself again.
    if (!m_trayIcon.Create(m_hWnd, WM_TRAY_NOTIFY, tip.c_str(), hIcon, IDR_TRAYMENU) &&
        !m_trayIcon.IsSetUp())
        throw CResourceException();
}

void CMainFrame::OpenCounter() {
    m_pCounter = m_measured.UsesAdapter() && m_parts.createAdapterCounter
                     ? m_parts.createAdapterCounter(m_measured)
                     : m_parts.createCounter();
    if (!m_pCounter || !m_pCounter->Open() || !m_pCounter->AddCounter(COUNTER_BYTES_RECEIVED) ||
        !m_pCounter->AddCounter(COUNTER_BYTES_SENT))
        FailMeasuring(IDS_COUNTER_FAILED);
    m_accounting.SetWindow(m_hWnd);
    m_accounting.SetCounter(m_pCounter.get());
    m_accounting.SetCountNow([this] {
        if (m_pWatcher)
            m_pWatcher->CountNow();
    });
    // Finding the counters touched much that is never needed again (one of the two moments of
    // the trim, see WorkingSet.h).
    TrimWorkingSet();
}

void CMainFrame::StartWatcher() {
    if (m_measured.UsesAdapter() && m_parts.createAdapterWatcher)
        m_pWatcher = m_parts.createAdapterWatcher(
            m_measured, std::max<DWORD>(1, m_settings.m_nAdapterCheckSeconds) * 1000);
    else
        m_pWatcher = m_parts.createWatcher();
    if (!m_pWatcher || !m_pWatcher->Start(m_hWnd, WM_CONNECTIONS_CHANGED))
        throw CResourceException();
    m_accounting.SetCutAtMidnight(m_pWatcher->CutsPeriodsAtMidnight());
}

void CMainFrame::StopMeasuring() {
    m_accounting.OnConnectionsChanged(0, 0);
    m_pWatcher.reset();
    // What the old watcher reported before it ended is no news of the new source.
    MSG msg;
    while (PeekMessageA(&msg, m_hWnd, WM_CONNECTIONS_CHANGED, WM_CONNECTIONS_CHANGED, PM_REMOVE))
        ;
    m_accounting.SetCounter(nullptr);
    m_pCounter.reset();
}

// A source that cannot measure (no dial-up service, say) says so, and the program goes on
// measuring nothing until another is chosen.
void CMainFrame::ChangeSource() {
    StopMeasuring();
    try {
        m_measured = m_settings.m_connection;
        if (!m_measured.UsesAdapter())
            CheckDialUp();
        OpenCounter();
        StartWatcher();
    } catch (const CException&) { // the user has been told, or it lacks a resource
        StopMeasuring();
    }
}

void CMainFrame::FailMeasuring(UINT nIDMessage) {
    // A program that cannot measure must not come back with every start of Windows; after the
    // start, another source chosen by the user just does not measure.
    if (!m_bStarted)
        m_settings.m_profile.bAutoStart = FALSE;
    fw::AppMessageBox(fw::LoadStringResource(nIDMessage), MB_ICONHAND);
    throw CUserException();
}

BOOL CMainFrame::OnCmdMsg(UINT nID) {
    switch (nID) {
    case ID_SETTINGS:
        m_optionsSheet.Open(m_hWnd);
        return TRUE;
    case ID_SHOW_LOG:
        OnShowLog();
        return TRUE;
    case ID_DELETE_LOG:
        OnDeleteLog();
        return TRUE;
    default:
        return CFrameWnd::OnCmdMsg(nID);
    }
}

BOOL CMainFrame::OnUpdateCmdUI(CCmdUI& cmdUI) {
    if (cmdUI.m_nID != ID_SETTINGS)
        return CFrameWnd::OnUpdateCmdUI(cmdUI);
    cmdUI.Enable(!m_optionsSheet.IsOpen());
    return TRUE;
}

void CMainFrame::OnClose() {
    // A question of ours is up: the code that asked runs on when it returns, so nothing may go
    // before. The question is closed unanswered, and the close comes again after it.
    if (fw::CloseOpenMessageBoxes()) {
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return;
    }
    if (m_optionsSheet.IsOpen())
        SendMessageA(m_optionsSheet.Get()->GetSafeHwnd(), PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    CFrameWnd::OnClose();
}

// Once the session ends, Windows may end the process at any moment after this message, without
// the normal exit: the running period is booked (with one more sample, as at a hang-up), the
// log writes what it holds, and the settings and the Run value are saved now. Then the program
// closes as at "Beenden".
void CMainFrame::OnEndSession() {
    m_accounting.OnConnectionsChanged(0, 0);
    m_log.SaveUnsaved();
    if (m_instance.IsRunningInstance())
        m_settings.SaveSettings();
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

LRESULT CMainFrame::OnOptionsNotify(WPARAM wParam) {
    if (wParam == IDOK || wParam == ID_APPLY_NOW) {
        m_settings.SaveSettings();
        m_log.SetSortOrder(m_settings.m_profile.bSortAscending != 0);
        m_volumeWatch.ChangeSettings(m_settings.m_volume);
        m_accounting.ArmPeriodStartTimer();
        if (m_settings.m_connection != m_measured)
            ChangeSource();
    }
    if (wParam == IDOK || wParam == IDCANCEL) {
        m_optionsSheet.Release();
        TrimWorkingSet();
    }
    m_accounting.UpdateTrayIcon();
    RefreshHistory();
    return 1;
}

void CMainFrame::OnShowLog() {
    m_log.ShowLog();
}

void CMainFrame::OnDeleteLog() {
    const std::string question = fw::LoadStringResource(IDS_DELETE_QUESTION);
    if (fw::AppMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        // The connections go first, under the log's lock; DeleteAll then zeroes the totals and
        // clears the (already empty) connections once more, as a start anew does.
        m_log.ClearConnections();
        m_log.DeleteAll();
        m_volumeWatch.Rearm();
    }
    m_accounting.UpdateTrayIcon();
    RefreshHistory();
}

void CMainFrame::OnPowerEvent(WPARAM nEvent) {
    switch (nEvent) {
    case PBT_APMSUSPEND:
        m_accounting.Suspend();
        break;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMECRITICAL: // Windows XP after a sleep it could not announce
        m_accounting.Resume();
        m_accounting.ArmPeriodStartTimer();
        RefreshHistory();
        break;
    default:
        break;
    }
}

LRESULT CMainFrame::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
    const UINT nMouseMessage = LOWORD(lParam);
    const bool bOpensSomething = nMouseMessage == WM_LBUTTONDBLCLK || nMouseMessage == WM_RBUTTONUP;
    if (bOpensSomething && wParam == IDR_TRAYMENU)
        m_optionsSheet.BringToFront();
    return m_trayIcon.OnTrayNotification(wParam, lParam);
}

LRESULT CMainFrame::OnTaskbarCreated() {
    // The new taskbar knows nothing of the icon, or it is the one that was not there at the
    // start: the icon is added as it is now, and offered again if the shell does not take it.
    m_trayIcon.AddToNewTaskbar();
    return 0;
}

void CMainFrame::RefreshHistory() {
    if (COptionsPSheet* pSheet = m_optionsSheet.Get())
        pSheet->RefreshHistory();
}
