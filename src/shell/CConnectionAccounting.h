#pragma once
// The measuring of the main frame: from the watcher's connection counts it measures each online
// period (at least one dial-up connection up), samples the byte counters every five seconds while
// it lasts, hands the readings to the log, has the log book the period when the last connection
// goes down, and keeps the tray icon's image and tooltip up to date.
//
// The frame embeds one and routes WM_CONNECTIONS_CHANGED and WM_TIMER to it; the counter, the
// log, the tray icon and the window whose timer measures are the frame's, lent to it.
#include "framework/CDeferredMessageBoxes.h"
#include "framework/ScopedHandles.h"
#include "shell/RunningReading.h"

#include "log/CNumberFormat.h"
#include "log/Clock.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

class CConnectionLog;
class CTrafficCounter;
class CTrayIcon;
class CVolumeWatch;

const UINT_PTR IDT_MEASURE = 11;       // the measuring timer
const UINT MEASURE_INTERVAL_MS = 5000; // its period
const UINT_PTR IDT_PERIOD_START = 14;  // the tooltip at the start of a billing period
const UINT_PTR IDT_MIDNIGHT = 15;      // a period cut at local midnight

class CConnectionAccounting {
public:
    // The calls that start and stop the measuring timer on the window; tests watch them.
    struct TIMER_CALLS {
        UINT_PTR(WINAPI* pfnSetTimer)(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC);
        BOOL(WINAPI* pfnKillTimer)(HWND hWnd, UINT_PTR nIDEvent);
    };
    static const TIMER_CALLS SYSTEM_TIMER;

    CConnectionAccounting(CConnectionLog& log, CTrayIcon& trayIcon,
                          const TIMER_CALLS& timer = SYSTEM_TIMER);
    // Stops a running timer and destroys the tray image.
    ~CConnectionAccounting();
    CConnectionAccounting(const CConnectionAccounting&) = delete;
    CConnectionAccounting& operator=(const CConnectionAccounting&) = delete;

    // The window that receives the measuring timer's WM_TIMER.
    void SetWindow(HWND hWnd) { m_hWnd = hWnd; }
    // The byte counter, opened and with both byte counters added; not owned.
    void SetCounter(CTrafficCounter* pCounter) { m_pCounter = pCounter; }
    // The volume limit's watch; not owned. With a limit set, the tooltip adds the billing
    // period's use and the limit, and a warning that is due shows as a balloon of the tray icon
    // (where the shell shows none, as a message that lets the counting go on).
    void SetVolumeWatch(CVolumeWatch* pWatch) { m_pVolumeWatch = pWatch; }
    // The link's periods end at each local midnight and go on as new ones (a network adapter's),
    // through a sample taken by a timer at that moment.
    void SetCutAtMidnight(bool bCut);

    // WM_CONNECTIONS_CHANGED: lParam is the number of active connections; wParam is not used.
    LRESULT OnConnectionsChanged(WPARAM wParam, LPARAM lParam);
    // WM_TIMER of any id; the frame passes the message on to the default handling afterwards.
    void OnTimer(UINT_PTR nIDEvent);

    // Asks the watcher for the number of connections now, as a WM_CONNECTIONS_CHANGED.
    void SetCountNow(std::function<void()> countNow) { m_countNow = std::move(countNow); }
    // The machine goes to sleep: the running period is booked as at a hang-up (one more sample
    // first), and nothing counts until a resume, a report of the watcher, or a tick more than
    // SLEEP_VETO_MS after this (a sleep that was vetoed sends no resume).
    void Suspend();
    // The machine woke up: the watcher counts afresh, and a connection that is up begins a new
    // period.
    void Resume();
    bool IsSuspended() const { return m_bSuspended; }
    static constexpr DWORD SLEEP_VETO_MS = 60000;

    // With a limit set, the tooltip and the warnings change when a billing period begins, also
    // offline: a timer at that moment, at most a day ahead (no timer reaches a whole period), set
    // anew whenever it fires and whenever the clock, the settings or a resume may have moved it.
    // The midnight timer of a running period is set anew with it.
    void ArmPeriodStartTimer();
    // Image and tooltip of the tray icon for the current state and the month's volume; a
    // warning of the volume limit that is due.
    void UpdateTrayIcon();

    // Loads the tray image of the current state (idle at first) in place of the previous one,
    // which is destroyed; the frame hands the first one to the tray icon's Create.
    HICON LoadTrayImage();

    BOOL IsConnected() const { return m_bConnected; }
    UINT_PTR GetTimer() const { return m_nTimer; }

private:
    void RestartTimer();
    void StopTimer();
    void StartOnlinePeriod(bool bAfterSuspend);
    void EndOnlinePeriod();
    // Takes a new sample; on success the running readings of both counters.
    bool Sample(std::int64_t& nReceived, std::int64_t& nSent);
    // The running reading after the end's last sample; 0 for a counter that read 0.
    std::int64_t FinalReading(CRunningReading& reading, DWORD dwCounter);
    // The readings of the last sample, without taking a new one.
    void LastReadings(std::int64_t& nReceived, std::int64_t& nSent);
    std::string TooltipText(std::int64_t nPeriodUse);
    std::int64_t PeriodUse(TIME64 now);
    void WarnIfDue(std::int64_t nPeriodUse, TIME64 now);
    void OnPeriodStartTimer();
    void SplitIfDue();
    void ArmMidnightTimer();
    void StopMidnightTimer();
    void OnMidnightTimer();

    CConnectionLog& m_log;
    CTrayIcon& m_trayIcon;
    TIMER_CALLS m_timer;
    CTrafficCounter* m_pCounter;
    HWND m_hWnd;
    UINT_PTR m_nTimer;          // id of the running measuring timer; 0 while none runs
    BOOL m_bConnected;          // an online period is being measured
    fw::ScopedIcon m_hTrayIcon; // the image the tray shows
    CRunningReading m_received;
    CRunningReading m_sent;
    CVolumeWatch* m_pVolumeWatch = nullptr;
    CNumberFormat m_wholeNumbers{0}; // the megabytes of the volume limit, read from the locale once
    fw::CDeferredMessageBoxes m_warnings; // where the shell shows no balloons
    std::function<void()> m_countNow;
    bool m_bSuspended = false;
    bool m_bOnlineAtSuspend = false; // the first report after it counts on from its readings
    DWORD m_dwSuspendTicks = 0;
    bool m_bPeriodStartTimer = false;
    bool m_bCutAtMidnight = false;
    TIME64 m_midnight = 0; // the midnight the running timer waits for; 0: none runs
};
