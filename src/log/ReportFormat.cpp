#include "log/ReportFormat.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr std::size_t TIME_TEXT_SIZE = 128;

std::string FormatTime(const std::tm& time, const char* format) {
    char text[TIME_TEXT_SIZE];
    const std::size_t length = std::strftime(text, sizeof text, format, &time);
    return std::string(text, length);
}

} // namespace

std::string FormatCell(const std::string& text) {
    if (text.empty())
        return "<td>&nbsp</td>";
    return "<td><font face=\"Verdana\" size=\"2\">" + text + "</font></td>";
}

std::string FormatDuration(std::int32_t seconds) {
    const std::int32_t hours = seconds / 3600;
    const std::int32_t minutes = seconds / 60 - 60 * hours;
    const std::int32_t rest = seconds - 60 * (seconds / 60);
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d ", static_cast<int>(hours),
                  static_cast<int>(minutes), static_cast<int>(rest));
    return text;
}

std::string FormatLocalTime(TIME64 time, const char* format) {
    const __time64_t value = time;
    std::tm local{};
    if (_localtime64_s(&local, &value) != 0)
        return std::string();
    return FormatTime(local, format);
}

std::string FormatMonthName(int month, int year) {
    if (month < 1 || month > 12)
        return std::string();
    std::tm first{};
    first.tm_year = year - 1900;
    first.tm_mon = month - 1;
    first.tm_mday = 1;
    return FormatTime(first, "%B");
}
