#pragma once
// The application's settings record, stored byte for byte as the registry value "Profile".
#include <cstdint>

struct PROFILEDATA {
    std::uint32_t dwSize;        // always 16 before use and before saving
    std::int32_t bAutoStart;     // start with Windows; on loading, whether the Run value exists
    std::int32_t nActivePage;    // the options page shown last
    std::int32_t bSortAscending; // the connection report lists the oldest connection first
};

static_assert(sizeof(PROFILEDATA) == 16, "the stored record is 16 bytes");
