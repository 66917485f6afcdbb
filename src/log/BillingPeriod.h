#pragma once
// Billing periods: from a billing day 00:00 local time to the next. A month shorter than the
// day begins its period on its last day (day 31: 31 January, 28 or 29 February, 31 March,
// 30 April). A connection counts for the period in which it began.
#include "log/Clock.h"

// The start of the billing period that holds time, for a billing day of 1 to 31 (others are
// clamped).
TIME64 BillingPeriodStart(TIME64 time, int nBillingDay);
// The start of the period after the one that begins at (or holds) periodStart.
TIME64 NextBillingPeriodStart(TIME64 periodStart, int nBillingDay);
