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
// Local midnight of the calendar day that holds time, and of the day after the one that holds
// it: 23 or 25 hours on the days the clocks change. -1 where the C library cannot convert it.
TIME64 LocalDayStart(TIME64 time);
TIME64 NextLocalDayStart(TIME64 time);
