#include "shell/CVolumeWatch.h"

#include "log/BillingPeriod.h"

#include <utility>

CVolumeWatch::CVolumeWatch(const VOLUMESETTINGS& settings, const WARNED& warned, SaveWarned save)
    : m_settings(settings), m_warned(warned), m_save(std::move(save)) {}

void CVolumeWatch::ChangeSettings(const VOLUMESETTINGS& settings) {
    if (settings == m_settings)
        return;
    m_settings = settings;
    Rearm();
}

void CVolumeWatch::Rearm() {
    if (m_warned.nPercent != 0)
        Keep(WARNED{});
    if (m_split.periodStart != 0)
        KeepSplit(SPLIT{});
}

void CVolumeWatch::KeepSplitsIn(const SPLIT& split, SaveSplit save) {
    m_split = split;
    m_saveSplit = std::move(save);
}

void CVolumeWatch::SplitIfDue(TIME64 now, TIME64 recordStart, std::int64_t nReceived,
                              std::int64_t nSent) {
    if (!IsOn())
        return;
    const TIME64 periodStart = PeriodStart(now);
    if (recordStart >= periodStart ||
        (m_split.periodStart == periodStart && m_split.recordStart == recordStart))
        return;
    KeepSplit(SPLIT{periodStart, recordStart, nReceived, nSent});
}

const CVolumeWatch::SPLIT* CVolumeWatch::SplitOf(TIME64 periodStart) const {
    return m_split.periodStart != 0 && m_split.periodStart == periodStart ? &m_split : nullptr;
}

void CVolumeWatch::KeepSplit(const SPLIT& split) {
    m_split = split;
    if (m_saveSplit)
        m_saveSplit(m_split);
}

TIME64 CVolumeWatch::PeriodStart(TIME64 now) const {
    return BillingPeriodStart(now, m_settings.nBillingDay);
}

TIME64 CVolumeWatch::NextPeriodStart(TIME64 now) const {
    return NextBillingPeriodStart(PeriodStart(now), m_settings.nBillingDay);
}

int CVolumeWatch::TakeDueWarning(std::int64_t nUseBytes, TIME64 now) {
    if (!IsOn())
        return 0;
    const std::int64_t nLimit = LimitBytes();
    int nReached = 0;
    if (nUseBytes >= nLimit)
        nReached = 100;
    else if (nUseBytes * 100 >= nLimit * m_settings.nWarnPercent)
        nReached = m_settings.nWarnPercent;
    const TIME64 periodStart = PeriodStart(now);
    // A new period has shown nothing yet.
    const int nShown = m_warned.periodStart == periodStart ? m_warned.nPercent : 0;
    if (nReached <= nShown)
        return 0;
    Keep(WARNED{periodStart, nReached});
    return nReached;
}

void CVolumeWatch::Keep(const WARNED& warned) {
    m_warned = warned;
    if (m_save)
        m_save(m_warned);
}
