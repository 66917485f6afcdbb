#pragma once
// The monthly volume limit as the user sets it on the page "Volumen": stored in registry values
// of its own beside "Profile", never in the 16-byte record. With no limit (the default) the
// program is as without the feature.
#include <cstdint>

struct VOLUMESETTINGS {
    static constexpr int MIN_WARN_PERCENT = 50;
    static constexpr int MAX_WARN_PERCENT = 99;

    std::uint32_t nLimitMB = 0; // megabytes of 1,048,576 bytes; 0: no limit
    bool bReceivedOnly = false; // false: received and sent count together
    int nBillingDay = 1;        // 1 to 31: the day of the month a billing period begins
    int nWarnPercent = 80;      // a warning at this share, and always at 100 %

    bool IsOn() const { return nLimitMB != 0; }
    bool operator==(const VOLUMESETTINGS& other) const {
        return nLimitMB == other.nLimitMB && bReceivedOnly == other.bReceivedOnly &&
               nBillingDay == other.nBillingDay && nWarnPercent == other.nWarnPercent;
    }
    bool operator!=(const VOLUMESETTINGS& other) const { return !(*this == other); }
};
