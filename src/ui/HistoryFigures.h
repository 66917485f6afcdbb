#pragma once
// What the page "Verlauf" shows of the current billing period, as plain figures the frame
// counts from the log: the bytes of each calendar day, the use against the limit, and the two
// lines of text. The page only draws them.
#include <cstdint>
#include <string>
#include <vector>

struct HistoryDay {
    std::int64_t nReceived = 0;
    std::int64_t nSent = 0;
};

struct HistoryFigures {
    std::vector<HistoryDay> days; // one per calendar day of the billing period, the first first
    int nToday = -1;              // the day that holds now; the days after it are to come
    bool bReceivedOnly = false;   // only received bytes count against the limit
    std::int64_t nUsed = 0;       // the meter's use of the period, the days' counted bytes
    std::int64_t nLimit = 0;      // the limit in bytes; 0: none
    std::string line;             // "Verbraucht: ..." or that there is no connection yet
    std::string previous;         // the periods before; empty where the log holds none

    std::int64_t Counted(const HistoryDay& day) const {
        return day.nReceived + (bReceivedOnly ? 0 : day.nSent);
    }
};
