// The chart of the page "Verlauf" drawn into a bitmap of 31 slots of 10 pixels, in colours the
// test tells apart, and read down the middle of a slot below the legend's line.
#include "framework/ScopedHandles.h"
#include "ui/HistoryChart.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const HistoryColours COLOURS = {RGB(255, 255, 255), RGB(0, 0, 0),   RGB(0, 0, 255),
                                RGB(255, 128, 0),   RGB(200, 0, 0), RGB(128, 128, 128)};

class HistoryChart : public ::testing::Test {
protected:
    void Draw(const HistoryFigures& figures) {
        const fw::ScopedSelection select(m_dc.Get(), m_bitmap.Get());
        DrawHistoryChart(m_dc.Get(), {0, 0, 314, 120}, figures,
                         static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                         {"Empfangen", "Gesendet", "Limit"}, COLOURS);
    }
    int CountInSlot(int nDay, COLORREF colour) {
        const fw::ScopedSelection select(m_dc.Get(), m_bitmap.Get());
        int nCount = 0;
        for (int y = 25; y < 120; ++y)
            nCount += GetPixel(m_dc.Get(), 2 + nDay * 10 + 5, y) == colour;
        return nCount;
    }

    fw::ScopedMemoryDC m_dc{CreateCompatibleDC(nullptr)};
    fw::ScopedGdiObject m_bitmap{CreateBitmap(314, 120, 1, 32, nullptr)};
};

HistoryFigures Month(int nToday) {
    HistoryFigures figures;
    figures.days.resize(31);
    figures.nToday = nToday;
    return figures;
}

} // namespace

// Received below sent in one bar, a day of 5 MB still seen beside one of 20 GB, today marked
// under its bar, and no bar and no line for the days to come.
TEST_F(HistoryChart, StacksTheDaysUpToTodayAndLeavesTheRestEmpty) {
    HistoryFigures figures = Month(2);
    figures.days[0] = {20LL << 30, 0};
    figures.days[1] = {3LL << 20, 2LL << 20};
    figures.days[2] = {5LL << 30, 5LL << 30};
    Draw(figures);
    EXPECT_GT(CountInSlot(0, COLOURS.received), 40);
    EXPECT_EQ(0, CountInSlot(0, COLOURS.sent));
    EXPECT_GE(CountInSlot(1, COLOURS.received) + CountInSlot(1, COLOURS.sent), MIN_BAR_HEIGHT);
    const int nReceived = CountInSlot(2, COLOURS.received);
    EXPECT_GT(nReceived, 15);
    EXPECT_LE(std::abs(nReceived - CountInSlot(2, COLOURS.sent)), 1);
    EXPECT_GT(CountInSlot(2, COLOURS.text), 0) << "today's mark";
    EXPECT_EQ(0, CountInSlot(3, COLOURS.text));
    EXPECT_EQ(0, CountInSlot(5, COLOURS.received) + CountInSlot(5, COLOURS.sent));
    EXPECT_EQ(0, CountInSlot(5, COLOURS.total)) << "no limit, no line";
}

// With a limit the running total is drawn up to today; after it only the limit's dotted line.
TEST_F(HistoryChart, DrawsTheRunningTotalAgainstTheLimit) {
    HistoryFigures figures = Month(3);
    figures.nLimit = 1000LL << 20;
    figures.days[1] = {600LL << 20, 0};
    figures.nUsed = 600LL << 20;
    Draw(figures);
    EXPECT_GE(CountInSlot(2, COLOURS.total), 2);
    EXPECT_LE(CountInSlot(20, COLOURS.total), 1);
}
