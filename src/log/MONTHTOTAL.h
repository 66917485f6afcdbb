#pragma once
// One entry of the month table and the table itself: entry m (1 to 12) holds calendar month m
// of any year, entry 0 belongs to no month.
#include <array>
#include <cstdint>

struct MONTHTOTAL {
    std::int32_t nDuration;  // seconds online
    std::uint32_t dwPadding; // no meaning; kept as the file held it
    std::int64_t nReceived;  // bytes received
    std::int64_t nSent;      // bytes sent
};

constexpr int MONTH_ENTRIES = 13;
constexpr unsigned MONTHTOTAL_IMAGE_SIZE = 24;

using MonthTable = std::array<MONTHTOTAL, MONTH_ENTRIES>;
