#pragma once
// The file "mlog.dat": 316 bytes without archive framing, the save time (32-bit unsigned
// seconds since 1970) followed by the 13 entries of the month table, 24 bytes each.
#include "log/Clock.h"
#include "log/MONTHTOTAL.h"

class CFile;

constexpr unsigned MONTH_LOG_SIZE = 4 + MONTH_ENTRIES * MONTHTOTAL_IMAGE_SIZE;

// Reads up to 4 bytes of save time and up to 312 bytes of table, which starts out zero, so a
// short file leaves the rest of it zero. Returns the save time, or 0 (an age beyond any limit)
// when the file holds less than the 4 bytes of it. Errors of the file are thrown and leave the
// table as it was.
TIME64 ReadMonthLog(CFile& file, MonthTable& table);

// Writes the save time and the whole table.
void WriteMonthLog(CFile& file, TIME64 saveTime, const MonthTable& table);
