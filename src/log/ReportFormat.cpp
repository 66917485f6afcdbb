#include "log/ReportFormat.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr std::size_t TIME_TEXT_SIZE = 128;

std::string FormatTime(const std::tm& time, const char* format) {
    std::string text;
    AppendTimeText(text, time, format);
    return text;
}

} // namespace

void AppendCell(std::string& row, const char* text, std::size_t length) {
    if (length == 0) {
        row += EMPTY_CELL;
        return;
    }
    row += CELL_START;
    row.append(text, length);
    row += CELL_END;
}

std::string FormatCell(const std::string& text) {
    std::string cell;
    AppendCell(cell, text.data(), text.size());
    return cell;
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

bool ToLocalTime(TIME64 time, std::tm& local) {
    const __time64_t value = time;
    return _localtime64_s(&local, &value) == 0;
}

void AppendTimeText(std::string& text, const std::tm& local, const char* format) {
    char buffer[TIME_TEXT_SIZE];
    text.append(buffer, std::strftime(buffer, sizeof buffer, format, &local));
}

std::string FormatLocalTime(TIME64 time, const char* format) {
    std::tm local{};
    if (!ToLocalTime(time, local))
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
