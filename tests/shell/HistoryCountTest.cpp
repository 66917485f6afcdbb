// The figures of the page "Verlauf": the days of the billing period, the use against the limit,
// the forecast and the periods before, counted as the meter counts. In the tests' zone (Berlin)
// the clocks change on 2027-03-28 (a day of 23 hours) and 2026-10-25 (25 hours).
#include "shell/HistoryCount.h"
#include "support/LocalTime.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

namespace {

constexpr std::int64_t MB = 1048576;

struct Setup {
    std::uint32_t nLimitMB; // 0: none, and so the calendar month, received and sent counted
    int nBillingDay;
    bool bReceivedOnly;
    LocalStamp now;
};
struct Connection {
    LocalStamp start;
    int nReceivedMB;
    int nSentMB;
};
struct DayMB {
    int nDay;
    int nReceivedMB;
    int nSentMB;
};
struct Days {
    std::size_t nDays;
    int nToday;
    std::vector<DayMB> used; // the other days are empty
};

struct HistoryRow {
    const char* name;
    Setup setup;
    std::vector<Connection> connections;
    Days days;
    const char* line;
    const char* previous = "";
    std::optional<Connection> split = {}; // what the one across the billing day had moved by then
};

void PrintTo(const HistoryRow& row, std::ostream* os) {
    *os << row.name;
}

class HistoryCount : public ::testing::TestWithParam<HistoryRow> {};

} // namespace

TEST_P(HistoryCount, CountsTheDaysAndWritesTheLines) {
    const HistoryRow& row = GetParam();
    const VOLUMESETTINGS settings = {row.setup.nLimitMB, row.setup.bReceivedOnly,
                                     row.setup.nBillingDay, 80};
    CVolumeWatch watch(settings, {}, nullptr);
    const TIME64 now = row.setup.now.Time();
    if (const auto& split = row.split)
        watch.KeepSplitsIn({watch.PeriodStart(now), split->start.Time(), split->nReceivedMB * MB,
                            split->nSentMB * MB},
                           nullptr);
    CConnectionList connections;
    for (const Connection& c : row.connections)
        connections.emplace_back(c.start.Time(), 60, c.nReceivedMB * MB, c.nSentMB * MB);

    const HistoryFigures figures = CountHistory(connections, watch, now, CNumberFormat(0));

    ASSERT_EQ(row.days.nDays, figures.days.size());
    EXPECT_EQ(row.days.nToday, figures.nToday);
    std::vector<HistoryDay> expected(row.days.nDays);
    std::int64_t nCounted = 0; // the bars add up to what the line calls used
    for (const DayMB& day : row.days.used) {
        expected[static_cast<std::size_t>(day.nDay)] = {day.nReceivedMB * MB, day.nSentMB * MB};
        nCounted +=
            (day.nReceivedMB + (settings.IsOn() && settings.bReceivedOnly ? 0 : day.nSentMB)) * MB;
    }
    for (std::size_t i = 0; i < row.days.nDays; ++i) {
        EXPECT_EQ(expected[i].nReceived, figures.days[i].nReceived) << "day " << i;
        EXPECT_EQ(expected[i].nSent, figures.days[i].nSent) << "day " << i;
    }
    EXPECT_EQ(nCounted, figures.nUsed);
    EXPECT_EQ(std::int64_t(row.setup.nLimitMB) * MB, figures.nLimit);
    EXPECT_EQ(row.line, figures.line);
    EXPECT_EQ(row.previous, figures.previous);
}

// The 10th of February is the eleventh day of the period from 31 January. A connection online
// since before the billing day counts there with what it moved after its split, drawn on the
// first day; no forecast on that day. The periods before begin at the oldest connection's.
INSTANTIATE_TEST_SUITE_P(
    HistoryCount, HistoryCount,
    ::testing::Values(
        HistoryRow{"BillingDay31InFebruary",
                   {1000, 31, false, {2027, 2, 10, 12, 0, 0}},
                   {{{2027, 1, 30, 23, 0, 0}, 50, 0},
                    {{2027, 1, 31, 8, 0, 0}, 100, 10},
                    {{2027, 2, 10, 9, 0, 0}, 200, 0}},
                   {28, 10, {{0, 100, 10}, {10, 200, 0}}},
                   "Verbraucht: 310 von 1.000 MB (31 %), noch 17 Tage; bei gleichem Verbrauch "
                   "bis 28.02.: etwa 826 MB",
                   "Vorige Zeitr\xE4ume: 50 MB"},
        HistoryRow{"A23HourDayAtTheStartOfSummerTime",
                   {0, 15, true, {2027, 3, 29, 12, 0, 0}},
                   {{{2027, 3, 28, 23, 30, 0}, 1000, 5}, {{2027, 3, 29, 0, 30, 0}, 2000, 0}},
                   {31, 28, {{27, 1000, 5}, {28, 2000, 0}}},
                   "Verbraucht: 3.005 MB; bei gleichem Verbrauch bis 01.04.: etwa 3.268 MB"},
        HistoryRow{"A25HourDayAtTheEndOfSummerTime",
                   {0, 1, false, {2026, 10, 26, 0, 30, 0}},
                   {{{2026, 10, 25, 23, 30, 0}, 500, 0}, {{2026, 10, 26, 0, 10, 0}, 0, 100}},
                   {31, 25, {{24, 500, 0}, {25, 0, 100}}},
                   "Verbraucht: 600 MB; bei gleichem Verbrauch bis 01.11.: etwa 743 MB"},
        HistoryRow{"RunningConnectionAcrossTheBillingDay",
                   {1000, 15, false, {2027, 1, 15, 10, 0, 0}},
                   {{{2027, 1, 14, 22, 0, 0}, 300, 60}},
                   {31, 0, {{0, 100, 10}}},
                   "Verbraucht: 110 von 1.000 MB (11 %), noch 30 Tage",
                   "Vorige Zeitr\xE4ume: 250 MB",
                   Connection{{2027, 1, 14, 22, 0, 0}, 200, 50}},
        HistoryRow{"EmptyPeriod",
                   {1000, 1, false, {2027, 5, 10, 12, 0, 0}},
                   {{{2027, 2, 3, 10, 0, 0}, 70, 0}, {{2027, 4, 20, 10, 0, 0}, 100, 0}},
                   {31, 9, {}},
                   "Noch keine Verbindungen in diesem Zeitraum.",
                   "Vorige Zeitr\xE4ume: 70 MB, 0 MB, 100 MB"},
        HistoryRow{"LimitPassedCountingReceivedOnly",
                   {1000, 1, true, {2027, 6, 20, 12, 0, 0}},
                   {{{2027, 6, 5, 10, 0, 0}, 900, 500}, {{2027, 6, 20, 8, 0, 0}, 350, 10}},
                   {30, 19, {{4, 900, 500}, {19, 350, 10}}},
                   "Verbraucht: 1.250 von 1.000 MB (125 %), noch 10 Tage; bei gleichem "
                   "Verbrauch bis 01.07.: etwa 1.923 MB"},
        HistoryRow{"OneDayLeft",
                   {1000, 1, false, {2027, 6, 29, 12, 0, 0}},
                   {{{2027, 6, 29, 10, 0, 0}, 400, 0}},
                   {30, 28, {{28, 400, 0}}},
                   "Verbraucht: 400 von 1.000 MB (40 %), noch 1 Tag; bei gleichem Verbrauch bis "
                   "01.07.: etwa 421 MB"},
        HistoryRow{"LastDay",
                   {1000, 1, false, {2027, 6, 30, 18, 0, 0}},
                   {{{2027, 6, 29, 10, 0, 0}, 400, 0}},
                   {30, 29, {{28, 400, 0}}},
                   "Verbraucht: 400 von 1.000 MB (40 %); bei gleichem Verbrauch bis 01.07.: "
                   "etwa 403 MB"}),
    RowName());
