#include "shell/VolumeTexts.h"

#include "shell/CVolumeWatch.h"

#include <cstdio>
#include <ctime>

std::string WholeMegabytes(std::int64_t nBytes, const CNumberFormat& format) {
    std::string text = std::to_string(nBytes / CVolumeWatch::MEGABYTE);
    format.Format(text);
    return text;
}

std::string DayAndMonth(TIME64 time) {
    const __time64_t value = time;
    std::tm local{};
    if (_localtime64_s(&local, &value) != 0)
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.", local.tm_mday, local.tm_mon + 1);
    return text;
}
