#include "shell/CConnectionAccounting.h"

#include "framework/AppMessageBox.h"
#include "framework/FillPlaceholders.h"
#include "framework/LoadStringResource.h"
#include "counters/TrafficCounter.h"
#include "log/CConnectionLog.h"
#include "log/CNumberFormat.h"
#include "resource.h"
#include "shell/CTrayIcon.h"
#include "shell/CVolumeWatch.h"
#include "shell/VolumeTexts.h"

#include <algorithm>
#include <ctime>
#include <utility>

namespace {

// The first local midnight after time.
TIME64 NextMidnight(TIME64 time) {
    const __time64_t value = time;
    std::tm local{};
    if (_localtime64_s(&local, &value) != 0)
        return time + 24 * 3600;
    local.tm_mday += 1;
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1; // whichever the new day has
    const __time64_t midnight = _mktime64(&local);
    return midnight > value ? midnight : time + 24 * 3600;
}

} // namespace

const CConnectionAccounting::TIMER_CALLS CConnectionAccounting::SYSTEM_TIMER = {&::SetTimer,
                                                                                &::KillTimer};

CConnectionAccounting::CConnectionAccounting(CConnectionLog& log, CTrayIcon& trayIcon,
                                             const TIMER_CALLS& timer)
    : m_log(log), m_trayIcon(trayIcon), m_timer(timer), m_pCounter(nullptr), m_hWnd(nullptr),
      m_nTimer(0), m_bConnected(FALSE) {}

CConnectionAccounting::~CConnectionAccounting() {
    StopTimer();
    StopMidnightTimer();
    if (m_bPeriodStartTimer)
        m_timer.pfnKillTimer(m_hWnd, IDT_PERIOD_START);
}

LRESULT CConnectionAccounting::OnConnectionsChanged(WPARAM /*wParam*/, LPARAM lParam) {
    // A report after a suspend is the machine awake again (or a sleep that did not come).
    m_bSuspended = false;
    const bool bAfterSuspend = std::exchange(m_bOnlineAtSuspend, false);
    const bool bAnyConnection = lParam > 0;
    // Every report restarts the five-second period.
    if (bAnyConnection)
        RestartTimer();
    else
        StopTimer();
    // Refreshed before and after the period changes: the first shows the report at once, the
    // second the new image and the volume that the change brought.
    UpdateTrayIcon();
    // More or fewer connections do not start a new online period.
    if (m_bConnected && bAnyConnection)
        return 1;

    m_bConnected = bAnyConnection;
    if (bAnyConnection)
        StartOnlinePeriod(bAfterSuspend);
    else
        EndOnlinePeriod();
    UpdateTrayIcon();
    return 1;
}

void CConnectionAccounting::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == IDT_PERIOD_START)
        OnPeriodStartTimer();
    if (nIDEvent == IDT_MIDNIGHT)
        OnMidnightTimer();
    if (nIDEvent != IDT_MEASURE)
        return;
    if (m_bSuspended) {
        if (Clock::Ticks() - m_dwSuspendTicks <= SLEEP_VETO_MS)
            return;
        Resume();
    }
    std::int64_t nReceived = 0;
    std::int64_t nSent = 0;
    // A failed sample leaves the log as it is until the next tick.
    if (m_bConnected && Sample(nReceived, nSent)) {
        m_log.UpdateConnection(nReceived, nSent);
        SplitIfDue();
    }
    UpdateTrayIcon();
}

void CConnectionAccounting::Suspend() {
    if (m_bSuspended)
        return;
    m_bOnlineAtSuspend = m_log.IsConnected() && m_received.HasReading() && m_sent.HasReading();
    EndOnlinePeriod();
    m_bConnected = FALSE;
    m_bSuspended = true;
    m_dwSuspendTicks = Clock::Ticks();
    UpdateTrayIcon();
}

void CConnectionAccounting::Resume() {
    m_bSuspended = false;
    if (m_countNow)
        m_countNow();
}

void CConnectionAccounting::SetCutAtMidnight(bool bCut) {
    m_bCutAtMidnight = bCut;
    ArmMidnightTimer();
}

// Armed while a period runs on a link that is cut at midnight; a timer that comes early (the
// clock was set back, or the timer's own inaccuracy) waits for the rest.
void CConnectionAccounting::ArmMidnightTimer() {
    StopMidnightTimer();
    if (!m_bCutAtMidnight || !m_log.IsConnected() || !m_hWnd)
        return;
    const TIME64 now = Clock::Now();
    const TIME64 midnight = NextMidnight(now);
    if (m_timer.pfnSetTimer(m_hWnd, IDT_MIDNIGHT, static_cast<UINT>((midnight - now) * 1000),
                            nullptr) != 0)
        m_midnight = midnight;
}

void CConnectionAccounting::StopMidnightTimer() {
    if (m_midnight != 0)
        m_timer.pfnKillTimer(m_hWnd, IDT_MIDNIGHT);
    m_midnight = 0;
}

// The sample at midnight ends the record of the day before there, and the next begins there:
// each day's bytes land in their day, month and billing period.
void CConnectionAccounting::OnMidnightTimer() {
    const TIME64 midnight = m_midnight;
    if (midnight == 0 || Clock::Now() < midnight || m_bSuspended) {
        ArmMidnightTimer();
        return;
    }
    std::int64_t nReceived = 0;
    std::int64_t nSent = 0;
    if (m_log.IsConnected() && Sample(nReceived, nSent))
        m_log.UpdateConnection(nReceived, nSent);
    m_log.CutConnectionAt(midnight);
    ArmMidnightTimer();
    UpdateTrayIcon();
}

void CConnectionAccounting::ArmPeriodStartTimer() {
    if (m_midnight != 0)
        ArmMidnightTimer();
    if (m_bPeriodStartTimer)
        m_timer.pfnKillTimer(m_hWnd, IDT_PERIOD_START);
    m_bPeriodStartTimer = false;
    if (!m_pVolumeWatch || !m_pVolumeWatch->IsOn() || !m_hWnd)
        return;
    constexpr TIME64 DAY = 24 * 3600;
    const TIME64 now = Clock::Now();
    // A second past the start, so that the period that holds then is the new one.
    const TIME64 wait =
        std::min<TIME64>(DAY, std::max<TIME64>(0, m_pVolumeWatch->NextPeriodStart(now) - now) + 1);
    m_bPeriodStartTimer =
        m_timer.pfnSetTimer(m_hWnd, IDT_PERIOD_START, static_cast<UINT>(wait * 1000), nullptr) != 0;
}

void CConnectionAccounting::OnPeriodStartTimer() {
    UpdateTrayIcon();
    ArmPeriodStartTimer();
}

void CConnectionAccounting::UpdateTrayIcon() {
    const TIME64 now = Clock::Now();
    const std::int64_t nPeriodUse = PeriodUse(now);
    const HICON hIcon = LoadTrayImage();
    const std::string tooltip = TooltipText(nPeriodUse);
    // An icon the shell has not taken yet is kept up to date for the add that shows it.
    if (m_trayIcon.IsSetUp()) {
        m_trayIcon.SetTooltipText(tooltip.c_str());
        m_trayIcon.SetIcon(hIcon);
    }
    WarnIfDue(nPeriodUse, now);
}

// The billing period's use where a limit is set; 0 otherwise. A period online across its start
// counts with what it moved after it.
std::int64_t CConnectionAccounting::PeriodUse(TIME64 now) {
    if (!m_pVolumeWatch || !m_pVolumeWatch->IsOn())
        return 0;
    const TIME64 periodStart = m_pVolumeWatch->PeriodStart(now);
    const bool bReceivedOnly = m_pVolumeWatch->Settings().bReceivedOnly;
    std::int64_t nUse = m_log.GetUseSince(periodStart, bReceivedOnly);
    if (const CVolumeWatch::SPLIT* pSplit = m_pVolumeWatch->SplitOf(periodStart))
        nUse += std::max<std::int64_t>(0, m_log.GetUseOf(pSplit->recordStart, bReceivedOnly) -
                                              pSplit->Before(bReceivedOnly));
    return nUse;
}

void CConnectionAccounting::SplitIfDue() {
    if (!m_pVolumeWatch || !m_log.IsConnected())
        return;
    const CConnectionInfo& running = m_log.GetRunningConnection();
    m_pVolumeWatch->SplitIfDue(Clock::Now(), running.m_timeStart, running.m_nReceived,
                               running.m_nSent);
}

void CConnectionAccounting::WarnIfDue(std::int64_t nPeriodUse, TIME64 now) {
    if (!m_pVolumeWatch)
        return;
    const int nPercent = m_pVolumeWatch->TakeDueWarning(nPeriodUse, now);
    if (nPercent == 0)
        return;
    const std::string text =
        fw::FillPlaceholders(fw::LoadStringResource(IDS_VOLUME_WARNING),
                             {std::to_string(nPercent), WholeMegabytes(nPeriodUse, m_wholeNumbers),
                              WholeMegabytes(m_pVolumeWatch->LimitBytes(), m_wholeNumbers),
                              DayAndMonth(m_pVolumeWatch->NextPeriodStart(now))});
    if (m_trayIcon.ShowBalloon(fw::LoadStringResource(IDS_APP_TITLE).c_str(), text.c_str()))
        return;
    {
        const fw::CDeferredMessageBoxes::Scope deferred(m_warnings);
        fw::AppMessageBox(text, MB_ICONEXCLAMATION);
    }
    m_warnings.ShowWhenIdle();
}

HICON CConnectionAccounting::LoadTrayImage() {
    // Exactly one image is held: the old one goes before the new one is loaded.
    m_hTrayIcon.Reset();
    const int nId = m_bConnected ? IDI_TRAY_ONLINE : IDI_TRAY_IDLE;
    // The notification area shows small icons, 16 pixels at 100 % and more at higher DPI.
    m_hTrayIcon.Reset(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nId), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    return m_hTrayIcon.Get();
}

void CConnectionAccounting::RestartTimer() {
    StopTimer();
    m_nTimer = m_timer.pfnSetTimer(m_hWnd, IDT_MEASURE, MEASURE_INTERVAL_MS, nullptr);
}

void CConnectionAccounting::StopTimer() {
    if (m_nTimer)
        m_timer.pfnKillTimer(m_hWnd, m_nTimer);
    m_nTimer = 0;
}

// The start readings become the log's baseline; a sample that fails leaves them missing, and
// the log takes its baseline from the first good reading instead. A link that stayed up across a
// sleep counts on from the readings at the suspend: what it moved meanwhile is not lost.
void CConnectionAccounting::StartOnlinePeriod(bool bAfterSuspend) {
    if (bAfterSuspend) {
        m_log.StartConnection(m_received.Total(), m_sent.Total());
        std::int64_t nReceived = 0;
        std::int64_t nSent = 0;
        if (Sample(nReceived, nSent))
            m_log.UpdateConnection(nReceived, nSent);
        ArmMidnightTimer();
        return;
    }
    m_received.Restart();
    m_sent.Restart();
    std::int64_t nReceived = CConnectionLog::MISSING_READING;
    std::int64_t nSent = CConnectionLog::MISSING_READING;
    if (!Sample(nReceived, nSent))
        nReceived = nSent = CConnectionLog::MISSING_READING;
    m_log.StartConnection(nReceived, nSent);
    m_log.UpdateConnection(nReceived, nSent);
    ArmMidnightTimer();
}

// The traffic since the last tick belongs to the period as well, so the end takes one more
// sample before the log books it. A sample that fails keeps the readings of the last good one.
void CConnectionAccounting::EndOnlinePeriod() {
    StopMidnightTimer();
    if (!m_log.IsConnected())
        return;
    std::int64_t nReceived = CConnectionLog::MISSING_READING;
    std::int64_t nSent = CConnectionLog::MISSING_READING;
    if (m_pCounter && m_pCounter->Collect()) {
        nReceived = FinalReading(m_received, COUNTER_BYTES_RECEIVED);
        nSent = FinalReading(m_sent, COUNTER_BYTES_SENT);
    } else {
        LastReadings(nReceived, nSent);
    }
    m_log.UpdateConnection(nReceived, nSent);
    SplitIfDue();
    m_log.EndConnection();
}

// A counter that the system clears with the link may read 0 once the link is down. The log
// keeps its volume for a reading of 0, which must not reach the running reading as a restart
// or a wrap.
std::int64_t CConnectionAccounting::FinalReading(CRunningReading& reading, DWORD dwCounter) {
    const std::uint64_t nValue = m_pCounter->GetLargeValue(dwCounter);
    return nValue == 0 ? CConnectionLog::READING_KEEPS_VOLUME : reading.Next(nValue);
}

bool CConnectionAccounting::Sample(std::int64_t& nReceived, std::int64_t& nSent) {
    if (!m_pCounter || !m_pCounter->Collect())
        return false;
    LastReadings(nReceived, nSent);
    return true;
}

void CConnectionAccounting::LastReadings(std::int64_t& nReceived, std::int64_t& nSent) {
    if (!m_pCounter)
        return;
    nReceived = m_received.Next(m_pCounter->GetLargeValue(COUNTER_BYTES_RECEIVED));
    nSent = m_sent.Next(m_pCounter->GetLargeValue(COUNTER_BYTES_SENT));
}

// String 139, "Tarvolo: %s MByte", with the month's volume in place of %s.
// With a limit set, string 170 follows: ", %1 von %2 MB" with the billing period's use and the
// limit.
std::string CConnectionAccounting::TooltipText(std::int64_t nPeriodUse) {
    std::string volume;
    m_log.GetVolumeText(volume);
    std::string text = fw::LoadStringResource(IDS_TOOLTIP_FORMAT);
    const std::string::size_type at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, volume);
    if (m_pVolumeWatch && m_pVolumeWatch->IsOn())
        text +=
            fw::FillPlaceholders(fw::LoadStringResource(IDS_TOOLTIP_LIMIT),
                                 {WholeMegabytes(nPeriodUse, m_wholeNumbers),
                                  WholeMegabytes(m_pVolumeWatch->LimitBytes(), m_wholeNumbers)});
    return text;
}
