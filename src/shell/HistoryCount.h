#pragma once
// The figures of the page "Verlauf", counted from the log's connections as the meter counts the
// billing period: a connection counts for the calendar day and the period in which it began,
// except the part after the split of one online across the period's start (a line up all day),
// which counts on the period's first day. The period is the limit's (its billing day and its
// kind of counting); without a limit, the calendar month with received and sent bytes.
#include "log/CConnectionList.h"
#include "log/CNumberFormat.h"
#include "log/Clock.h"
#include "shell/CVolumeWatch.h"
#include "ui/HistoryFigures.h"

// The days of the billing period that holds now, its use, the periods before it that the
// connections reach back to, and the texts of both lines with megabytes in format.
HistoryFigures CountHistory(const CConnectionList& connections, const CVolumeWatch& watch,
                            TIME64 now, const CNumberFormat& format);
