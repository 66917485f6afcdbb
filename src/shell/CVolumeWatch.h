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

    // A period online across the start of a billing period (a line up all day) counts there only
    // with what it moved after it: these are the bytes it had moved at the first sample in the
    // billing period, received and sent apart, since either kind of counting may be chosen.
    struct SPLIT {
        TIME64 periodStart = 0; // the billing period; 0: no split
        TIME64 recordStart = 0; // the start of the online period
        std::int64_t nReceived = 0;
        std::int64_t nSent = 0;
        std::int64_t Before(bool bReceivedOnly) const {
            return bReceivedOnly ? nReceived : nReceived + nSent;
        }
        bool operator==(const SPLIT& other) const {
            return periodStart == other.periodStart && recordStart == other.recordStart &&
                   nReceived == other.nReceived && nSent == other.nSent;
        }
    };
    using SaveSplit = std::function<void(const SPLIT&)>;

    static constexpr std::int64_t MEGABYTE = 1048576;

    CVolumeWatch(const VOLUMESETTINGS& settings, const WARNED& warned, SaveWarned save);

    // The split kept by the last run, and where a new one is kept until its billing period is
    // over, so that neither a restart nor a crash loses it.
    void KeepSplitsIn(const SPLIT& split, SaveSplit save);

    // Settings from the options sheet; a change arms the warnings anew and drops the split.
    void ChangeSettings(const VOLUMESETTINGS& settings);
    // The use starts from nothing again (the log was deleted): the warnings may show again, and
    // the split is gone.
    void Rearm();

    // At a sample of a period online since recordStart, with the bytes it has moved: one that
    // began before the billing period that holds now is split there, once.
    void SplitIfDue(TIME64 now, TIME64 recordStart, std::int64_t nReceived, std::int64_t nSent);
    // The split of the billing period that begins at periodStart; none where there is none.
    const SPLIT* SplitOf(TIME64 periodStart) const;
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
    void KeepSplit(const SPLIT& split);

    VOLUMESETTINGS m_settings;
    WARNED m_warned;
    SaveWarned m_save;
    SPLIT m_split;
    SaveSplit m_saveSplit;
};
