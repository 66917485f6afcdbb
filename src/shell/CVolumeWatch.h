#pragma once
// The monthly volume limit at work: which billing period runs, how much of the limit its
// connections used, and which warning (the share set, or 100 %) is due. Each warning shows once
// per billing period; what was shown is kept across restarts, and a change of the limit, the
// share or the billing day arms the warnings anew.
#include "log/Clock.h"
#include "ui/VolumeSettings.h"

#include <cstdint>
#include <functional>

class CVolumeWatch {
public:
    // The warnings shown: the billing period they belong to and the highest share shown in it
    // (0: none).
    struct WARNED {
        TIME64 periodStart = 0;
        int nPercent = 0;
        bool operator==(const WARNED& other) const {
            return periodStart == other.periodStart && nPercent == other.nPercent;
        }
    };
    // Keeps WARNED where a restart finds it; the program's keeps it in the registry.
    using SaveWarned = std::function<void(const WARNED&)>;

    static constexpr std::int64_t MEGABYTE = 1048576;

    CVolumeWatch(const VOLUMESETTINGS& settings, const WARNED& warned, SaveWarned save);

    // Settings from the options sheet; a change arms the warnings anew.
    void ChangeSettings(const VOLUMESETTINGS& settings);
    // The use starts from nothing again (the log was deleted): the warnings may show again.
    void Rearm();
    const VOLUMESETTINGS& Settings() const { return m_settings; }
    bool IsOn() const { return m_settings.IsOn(); }
    std::int64_t LimitBytes() const { return std::int64_t(m_settings.nLimitMB) * MEGABYTE; }

    // The billing period that holds now, and the one after it.
    TIME64 PeriodStart(TIME64 now) const;
    TIME64 NextPeriodStart(TIME64 now) const;

    // The share reached (the warning share or 100) when a warning is due for this use of the
    // period that holds now, 0 otherwise; only the highest of those crossed at once is due, and
    // it counts as shown from here on.
    int TakeDueWarning(std::int64_t nUseBytes, TIME64 now);

private:
    void Keep(const WARNED& warned);

    VOLUMESETTINGS m_settings;
    WARNED m_warned;
    SaveWarned m_save;
};
