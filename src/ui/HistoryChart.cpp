#include "ui/HistoryChart.h"

#include "framework/ScopedHandles.h"

#include <algorithm>
#include <vector>

namespace {

// The plot's parts in pixels: the slots of the days side by side along the bottom.
struct Plot {
    RECT rc;
    int nSlot; // the width of one day
    int nDays;
    int Left(int nDay) const { return rc.left + nDay * nSlot; }
};

void FillSolid(HDC hdc, const RECT& rc, COLORREF colour) {
    const fw::ScopedGdiObject brush(CreateSolidBrush(colour));
    FillRect(hdc, &rc, static_cast<HBRUSH>(brush.Get()));
}

void DrawLine(HDC hdc, POINT from, POINT to, int nStyle, int nWidth, COLORREF colour) {
    const fw::ScopedGdiObject pen(CreatePen(nStyle, nWidth, colour));
    const fw::ScopedSelection select(hdc, pen.Get());
    MoveToEx(hdc, from.x, from.y, nullptr);
    LineTo(hdc, to.x, to.y);
}

// A legend entry: a mark in its colour (a square, or a line for the limit), then its text.
// Returns the x after it.
int DrawLegendEntry(HDC hdc, int x, const RECT& row, const std::string& text, COLORREF colour,
                    bool bLine, COLORREF textColour) {
    const int nMark = (row.bottom - row.top) / 2;
    const int y = (row.top + row.bottom) / 2;
    if (bLine)
        DrawLine(hdc, {x, y}, {x + nMark, y}, PS_SOLID, 2, colour);
    else
        FillSolid(hdc, {x, y - nMark / 2, x + nMark, y - nMark / 2 + nMark}, colour);
    x += nMark + nMark / 2;
    RECT rcText = {x, row.top, row.right, row.bottom};
    SetTextColor(hdc, textColour);
    DrawTextA(hdc, text.c_str(), -1, &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SIZE size = {};
    GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    return x + size.cx + 2 * nMark;
}

void DrawLegend(HDC hdc, const RECT& row, const HistoryFigures& figures,
                const HistoryLegend& legend, const HistoryColours& colours) {
    int x = row.left;
    x = DrawLegendEntry(hdc, x, row, legend.received, colours.received, false, colours.text);
    x = DrawLegendEntry(hdc, x, row, legend.sent, colours.sent, false, colours.text);
    if (figures.nLimit != 0)
        DrawLegendEntry(hdc, x, row, legend.limit, colours.total, true, colours.text);
}

// The height of a day's bar in a plot nHeight high whose tallest day moved nMost bytes.
int BarHeight(std::int64_t nBytes, std::int64_t nMost, int nHeight) {
    if (nBytes <= 0 || nMost <= 0 || nHeight <= 0)
        return 0;
    const int nScaled = static_cast<int>(std::int64_t(nHeight) * std::min(nBytes, nMost) / nMost);
    return std::min(nHeight, std::max(MIN_BAR_HEIGHT, nScaled));
}

std::int64_t MostInADay(const HistoryFigures& figures) {
    std::int64_t nMost = 0;
    for (const HistoryDay& day : figures.days)
        nMost = std::max(nMost, day.nReceived + day.nSent);
    return nMost;
}

void DrawBar(HDC hdc, const Plot& plot, int nDay, const HistoryDay& day, std::int64_t nMost,
             const HistoryColours& colours) {
    const int nHeight = plot.rc.bottom - plot.rc.top;
    const std::int64_t nBytes = day.nReceived + day.nSent;
    const int nBar = BarHeight(nBytes, nMost, nHeight);
    if (nBar == 0)
        return;
    const int nGap = plot.nSlot >= 4 ? 1 : 0;
    const int left = plot.Left(nDay) + nGap;
    const int right = std::max(left + 1, plot.Left(nDay + 1) - nGap);
    const int nSent = static_cast<int>(std::int64_t(nBar) * day.nSent / nBytes);
    const int top = plot.rc.bottom - nBar;
    FillSolid(hdc, {left, top + nSent, right, plot.rc.bottom}, colours.received);
    FillSolid(hdc, {left, top, right, top + nSent}, colours.sent);
}

// Today's mark under its slot; the days to come only a baseline.
void DrawDayMarks(HDC hdc, const Plot& plot, const HistoryFigures& figures, int nMark,
                  const HistoryColours& colours) {
    if (figures.nToday >= 0 && figures.nToday < plot.nDays)
        FillSolid(hdc,
                  {plot.Left(figures.nToday), plot.rc.bottom + 1, plot.Left(figures.nToday + 1),
                   plot.rc.bottom + 1 + nMark},
                  colours.text);
    const int futureLeft = plot.Left(std::max(0, figures.nToday + 1));
    if (futureLeft < plot.rc.right)
        DrawLine(hdc, {futureLeft, plot.rc.bottom - 1}, {plot.Left(plot.nDays), plot.rc.bottom - 1},
                 PS_DOT, 1, colours.future);
}

int ScaledY(const Plot& plot, std::int64_t nBytes, std::int64_t nTop) {
    const int nHeight = plot.rc.bottom - plot.rc.top;
    return plot.rc.bottom - static_cast<int>(std::int64_t(nHeight) * nBytes / nTop);
}

// The running total up to today, on a scale of its own whose top is the limit or the use beyond
// it: where the line meets the limit's, the volume is used up.
void DrawRunningTotal(HDC hdc, const Plot& plot, const HistoryFigures& figures,
                      const HistoryColours& colours) {
    const std::int64_t nTop = std::max(figures.nLimit, figures.nUsed);
    const int yLimit = ScaledY(plot, figures.nLimit, nTop);
    DrawLine(hdc, {plot.rc.left, yLimit}, {plot.Left(plot.nDays), yLimit}, PS_DOT, 1,
             colours.total);
    std::vector<POINT> points = {{plot.rc.left, plot.rc.bottom}};
    std::int64_t nTotal = 0;
    const int nLast = std::min(figures.nToday, plot.nDays - 1);
    for (int nDay = 0; nDay <= nLast; ++nDay) {
        nTotal += figures.Counted(figures.days[static_cast<std::size_t>(nDay)]);
        points.push_back({plot.Left(nDay + 1), ScaledY(plot, std::min(nTotal, nTop), nTop)});
    }
    const fw::ScopedGdiObject pen(CreatePen(PS_SOLID, 2, colours.total));
    const fw::ScopedSelection select(hdc, pen.Get());
    Polyline(hdc, points.data(), static_cast<int>(points.size()));
}

} // namespace

HistoryColours CurrentHistoryColours() {
    HIGHCONTRASTA contrast = {sizeof contrast, 0, nullptr};
    const bool bHighContrast =
        SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON);
    if (bHighContrast)
        return {GetSysColor(COLOR_WINDOW),     GetSysColor(COLOR_WINDOWTEXT),
                GetSysColor(COLOR_HIGHLIGHT),  GetSysColor(COLOR_HOTLIGHT),
                GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_GRAYTEXT)};
    return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), RGB(0x2E, 0x75, 0xB6),
            RGB(0xED, 0x7D, 0x31),     RGB(0xC0, 0x00, 0x00),         GetSysColor(COLOR_GRAYTEXT)};
}

void DrawHistoryChart(HDC hdc, const RECT& rc, const HistoryFigures& figures, HFONT hFont,
                      const HistoryLegend& legend, const HistoryColours& colours) {
    FillSolid(hdc, rc, colours.background);
    if (figures.days.empty())
        return;
    const fw::ScopedSelection font(hdc, hFont);
    SetBkMode(hdc, TRANSPARENT);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(hdc, &metrics);
    const int nMark = std::max(2, static_cast<int>(metrics.tmHeight) / 5);
    const RECT row = {rc.left + 2, rc.top, rc.right - 2,
                      rc.top + static_cast<LONG>(metrics.tmHeight)};
    DrawLegend(hdc, row, figures, legend, colours);
    Plot plot;
    plot.nDays = static_cast<int>(figures.days.size());
    plot.nSlot = std::max(1, static_cast<int>(rc.right - rc.left - 4) / plot.nDays);
    const int width = plot.nSlot * plot.nDays;
    plot.rc = {rc.left + (rc.right - rc.left - width) / 2, row.bottom + nMark,
               rc.left + (rc.right - rc.left - width) / 2 + width, rc.bottom - 2 * nMark};
    const std::int64_t nMost = MostInADay(figures);
    for (int nDay = 0; nDay < plot.nDays; ++nDay)
        DrawBar(hdc, plot, nDay, figures.days[static_cast<std::size_t>(nDay)], nMost, colours);
    DrawDayMarks(hdc, plot, figures, nMark, colours);
    if (figures.nLimit != 0)
        DrawRunningTotal(hdc, plot, figures, colours);
}
