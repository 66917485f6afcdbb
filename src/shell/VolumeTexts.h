#pragma once
// The figures of the volume limit as its texts show them: the tooltip, the warning and the page
// "Verlauf".
#include "log/CNumberFormat.h"
#include "log/Clock.h"

#include <cstdint>
#include <string>

// Whole megabytes of 1,048,576 bytes, rounded down, grouped as the user's numbers are ("1.000").
std::string WholeMegabytes(std::int64_t nBytes, const CNumberFormat& format);

// Day and month in local time, "06.02."; empty for a time the C library cannot convert.
std::string DayAndMonth(TIME64 time);
