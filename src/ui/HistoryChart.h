#pragma once
// The chart of the page "Verlauf": a bar a day of the billing period, received and sent bytes
// stacked, today marked and the days to come empty; with a limit, the running total of the
// period as a line against the limit. Colours are the system's in a high-contrast scheme.
#include "ui/HistoryFigures.h"

#include <windows.h>

#include <string>

struct HistoryLegend {
    std::string received;
    std::string sent;
    std::string limit;
};

// The colours of one drawing.
struct HistoryColours {
    COLORREF background;
    COLORREF text;
    COLORREF received;
    COLORREF sent;
    COLORREF total;  // the running total's line
    COLORREF future; // the baseline of the days to come
};

// The system's colours where a high-contrast scheme is on, the chart's own otherwise.
HistoryColours CurrentHistoryColours();

// Draws the whole of rc (the legend in hFont above the plot).
void DrawHistoryChart(HDC hdc, const RECT& rc, const HistoryFigures& figures, HFONT hFont,
                      const HistoryLegend& legend, const HistoryColours& colours);

// The least height in pixels of a day's bar with traffic, so that a day of 5 MB beside one of
// 20 GB can still be seen.
constexpr int MIN_BAR_HEIGHT = 2;
