// The chart of the page "Verlauf" drawn into a bitmap of 31 slots of 10 pixels, in colours the
// test tells apart.
#include "framework/ScopedHandles.h"
#include "ui/HistoryChart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

namespace {

const HistoryColours COLOURS = {RGB(255, 255, 255), RGB(0, 0, 0),   RGB(0, 0, 255),
                                RGB(255, 128, 0),   RGB(200, 0, 0), RGB(128, 128, 128)};
const int WIDTH = 314; // 31 slots and the margins
const int HEIGHT = 120;
const int LEGEND_BOTTOM = 25; // the legend's row is a line of text

class HistoryChart : public ::testing::Test {
protected:
    void Draw(const HistoryFigures& figures) {
        const fw::ScopedSelection select(m_dc.Get(), m_bitmap.Get());
        DrawHistoryChart(m_dc.Get(), {0, 0, WIDTH, HEIGHT}, figures,
                         static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                         {"Empfangen", "Gesendet", "Limit"}, COLOURS);
    }
    // How many pixels down the middle of a day's slot, below the legend, have the colour.
    int CountInSlot(int nDay, COLORREF colour) {
        const fw::ScopedSelection select(m_dc.Get(), m_bitmap.Get());
        int nCount = 0;
        for (int y = LEGEND_BOTTOM; y < HEIGHT; ++y)
            nCount += GetPixel(m_dc.Get(), 2 + nDay * 10 + 5, y) == colour;
        return nCount;
    }

    fw::ScopedMemoryDC m_dc{CreateCompatibleDC(nullptr)};
    fw::ScopedGdiObject m_bitmap{CreateBitmap(WIDTH, HEIGHT, 1, 32, nullptr)};
};

HistoryFigures Month(int nToday) {
    HistoryFigures figures;
    figures.days.resize(31);
    figures.nToday = nToday;
    return figures;
}

} // namespace

TEST(HistoryChartBars, KeepASmallDayVisibleBesideAHugeOne) {
    const struct {
        std::int64_t nBytes;
        std::int64_t nMost;
        int nHeight;
    } cases[] = {{0, 100, 80},  {1, 20LL << 30, 80}, {5LL << 20, 20LL << 30, 80},
                 {50, 100, 80}, {100, 100, 80},      {100, 100, 1}};
    const int expected[] = {0, MIN_BAR_HEIGHT, MIN_BAR_HEIGHT, 40, 80, 1};
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(expected[i], BarHeight(cases[i].nBytes, cases[i].nMost, cases[i].nHeight)) << i;
}

// Received below sent in one bar; the days to come hold no bar.
TEST_F(HistoryChart, StacksTheDaysUpToTodayAndLeavesTheRestEmpty) {
    HistoryFigures figures = Month(2);
    figures.days[0] = {20LL << 30, 0};
    figures.days[1] = {3LL << 20, 2LL << 20};
    figures.days[2] = {5LL << 30, 5LL << 30};
    figures.days[5] = {}; // to come
    Draw(figures);
    EXPECT_GT(CountInSlot(0, COLOURS.received), 40);
    EXPECT_EQ(0, CountInSlot(0, COLOURS.sent));
    EXPECT_GE(CountInSlot(1, COLOURS.received) + CountInSlot(1, COLOURS.sent), MIN_BAR_HEIGHT);
    const int nReceived = CountInSlot(2, COLOURS.received);
    EXPECT_GT(nReceived, 15);
    EXPECT_LE(std::abs(nReceived - CountInSlot(2, COLOURS.sent)), 1);
    EXPECT_EQ(0, CountInSlot(5, COLOURS.received) + CountInSlot(5, COLOURS.sent));
    EXPECT_EQ(0, CountInSlot(5, COLOURS.total)) << "no limit, no line";
}

// Today's slot carries a mark under the bars; another day none.
TEST_F(HistoryChart, MarksToday) {
    Draw(Month(7));
    const int nToday = CountInSlot(7, COLOURS.text);
    EXPECT_GT(nToday, 0);
    EXPECT_EQ(0, CountInSlot(8, COLOURS.text));
}

// With a limit the running total is drawn up to today only.
TEST_F(HistoryChart, DrawsTheRunningTotalAgainstTheLimit) {
    HistoryFigures figures = Month(3);
    figures.nLimit = 1000LL << 20;
    figures.days[1] = {600LL << 20, 0};
    figures.nUsed = 600LL << 20;
    Draw(figures);
    EXPECT_GE(CountInSlot(2, COLOURS.total), 2);
    EXPECT_LE(CountInSlot(20, COLOURS.total), 1) << "only the limit's dotted line after today";
}
