#pragma once
// The data files as CSV for spreadsheets: one row per stored connection, one per billing period
// or local calendar day that holds a stored connection, or one per calendar month followed by the
// time the month totals were saved. Rows end in CR LF.
#include "log/CConnectionList.h"
#include "log/Clock.h"
#include "log/MONTHTOTAL.h"

#include <ostream>
#include <string>

// ISO 8601 in UTC with a trailing Z, and in local time without a zone; empty for a time that
// cannot be converted.
std::string FormatIsoUtc(TIME64 time);
std::string FormatIsoLocal(TIME64 time);

void WriteConnectionsCsv(const CConnectionList& list, std::ostream& out);
// The totals of the connections that began in each billing period (see log/BillingPeriod.h),
// oldest period first, whatever the order of the list.
void WritePeriodsCsv(const CConnectionList& list, int nBillingDay, std::ostream& out);
// The totals of the connections that began on each local calendar day, oldest day first.
void WriteDaysCsv(const CConnectionList& list, std::ostream& out);
void WriteMonthsCsv(const MonthTable& table, TIME64 saveTime, std::ostream& out);

// The files, read with the program's own loading code. Errors are thrown as the framework's
// exceptions, a file that cannot be opened among them.
CConnectionList ReadConnectionsFile(const std::string& path);
TIME64 ReadMonthsFile(const std::string& path, MonthTable& table);
