#pragma once
// The pieces of the report rows: table cells, durations and the local date, time and month
// texts in the C library's locale.
#include "log/Clock.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

// The pieces of a table cell.
inline constexpr char CELL_START[] = "<td><font face=\"Verdana\" size=\"2\">";
inline constexpr char CELL_END[] = "</font></td>";
inline constexpr char EMPTY_CELL[] = "<td>&nbsp</td>";

// One table cell without attributes; an empty text gives the empty cell "<td>&nbsp</td>".
std::string FormatCell(const std::string& text);
void AppendCell(std::string& row, const char* text, std::size_t length);

// Hours, minutes and seconds as "hh:mm:ss " with its trailing blank; hours are not limited.
std::string FormatDuration(std::int32_t seconds);

// The time in local time through the C library's time format; empty when the time cannot be
// converted or the text would be longer than 127 characters.
std::string FormatLocalTime(TIME64 time, const char* format);
bool ToLocalTime(TIME64 time, std::tm& local);
// The same for a local time already converted; appends nothing for a text that is too long.
void AppendTimeText(std::string& text, const std::tm& local, const char* format);

// The full name of calendar month (1 to 12) of the given year in the user's locale.
std::string FormatMonthName(int month, int year);
