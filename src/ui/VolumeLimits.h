#pragma once
// The ranges the volume settings keep to, wherever they come from: the page "Volumen" or the
// registry, which a user or an older version may have filled with anything.
#include "ui/VolumeSettings.h"

#include <algorithm>
#include <cstdint>

// Some 3.8 terabytes: more than any month of traffic, and seven digits in the field. The page
// refuses a ticked limit outside MIN to MAX; the registry's values are moved into the range.
constexpr std::uint32_t MIN_VOLUME_LIMIT_MB = 1;
constexpr std::uint32_t MAX_VOLUME_LIMIT_MB = 4000000;
constexpr int MIN_BILLING_DAY = 1;
constexpr int MAX_BILLING_DAY = 31;

// The settings with every value moved into its range; a limit of 0 stays off.
inline VOLUMESETTINGS ClampedVolume(VOLUMESETTINGS volume) {
    volume.nLimitMB = std::min(volume.nLimitMB, MAX_VOLUME_LIMIT_MB);
    volume.nBillingDay = std::clamp(volume.nBillingDay, MIN_BILLING_DAY, MAX_BILLING_DAY);
    volume.nWarnPercent = std::clamp(volume.nWarnPercent, VOLUMESETTINGS::MIN_WARN_PERCENT,
                                     VOLUMESETTINGS::MAX_WARN_PERCENT);
    return volume;
}
