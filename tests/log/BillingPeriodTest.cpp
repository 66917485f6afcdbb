#include "log/BillingPeriod.h"
#include "support/LocalTime.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <ctime>
#include <ostream>
#include <string>

namespace {

// The results are read back through localtime, not compared with mktime's answer for the
// expected day, so that a midnight taken in the wrong summer time shows as 01:00 or 23:00.
std::string LocalText(TIME64 time) {
    const __time64_t value = time;
    std::tm local{};
    if (_localtime64_s(&local, &value) != 0)
        return "(no local time)";
    return LocalStamp{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                      local.tm_hour,        local.tm_min,     local.tm_sec}
        .Text();
}

struct Period {
    const char* name;
    int nBillingDay;
    LocalStamp at;
    LocalStamp start;
    LocalStamp next;
};

void PrintTo(const Period& row, std::ostream* os) {
    *os << row.name;
}

class BillingPeriods : public ::testing::TestWithParam<Period> {};

} // namespace

TEST_P(BillingPeriods, RunFromTheBillingDaysMidnightToTheNext) {
    const Period& row = GetParam();
    const TIME64 start = BillingPeriodStart(row.at.Time(), row.nBillingDay);
    EXPECT_EQ(row.start.Text(), LocalText(start));
    EXPECT_EQ(row.next.Text(), LocalText(NextBillingPeriodStart(start, row.nBillingDay)));
    EXPECT_EQ(row.next.Text(), LocalText(NextBillingPeriodStart(row.at.Time(), row.nBillingDay)));
}

// The summer time days are those of Berlin and of New York, so that each zone the tests run in
// meets its own change at a period's start.
INSTANTIATE_TEST_SUITE_P(BillingPeriod, BillingPeriods,
                         ::testing::Values(Period{"Day29InALeapFebruary",
                                                  29,
                                                  {2028, 2, 29, 0, 0, 0},
                                                  {2028, 2, 29, 0, 0, 0},
                                                  {2028, 3, 29, 0, 0, 0}},
                                           Period{"Day30IsTheLastOfALeapFebruary",
                                                  30,
                                                  {2028, 3, 15, 12, 0, 0},
                                                  {2028, 2, 29, 0, 0, 0},
                                                  {2028, 3, 30, 0, 0, 0}},
                                           Period{"Day31BeforeTheLastOfALeapFebruary",
                                                  31,
                                                  {2028, 2, 28, 23, 59, 59},
                                                  {2028, 1, 31, 0, 0, 0},
                                                  {2028, 2, 29, 0, 0, 0}},
                                           Period{"Day29IsTheLastOfFebruary",
                                                  29,
                                                  {2027, 2, 28, 0, 0, 0},
                                                  {2027, 2, 28, 0, 0, 0},
                                                  {2027, 3, 29, 0, 0, 0}},
                                           Period{"Day30TheSecondBeforeTheLastOfFebruary",
                                                  30,
                                                  {2027, 2, 27, 23, 59, 59},
                                                  {2027, 1, 30, 0, 0, 0},
                                                  {2027, 2, 28, 0, 0, 0}},
                                           Period{"Day31FromFebruaryToMarchsLast",
                                                  31,
                                                  {2027, 3, 30, 23, 59, 59},
                                                  {2027, 2, 28, 0, 0, 0},
                                                  {2027, 3, 31, 0, 0, 0}},
                                           Period{"Day31InA30DayMonth",
                                                  31,
                                                  {2026, 4, 30, 8, 0, 0},
                                                  {2026, 4, 30, 0, 0, 0},
                                                  {2026, 5, 31, 0, 0, 0}},
                                           Period{"Day31FromA31DayMonthIntoA30DayMonth",
                                                  31,
                                                  {2026, 5, 31, 0, 0, 0},
                                                  {2026, 5, 31, 0, 0, 0},
                                                  {2026, 6, 30, 0, 0, 0}},
                                           Period{"BerlinSummerTimeBegins",
                                                  28,
                                                  {2027, 3, 28, 0, 0, 0},
                                                  {2027, 3, 28, 0, 0, 0},
                                                  {2027, 4, 28, 0, 0, 0}},
                                           Period{"BerlinSummerTimeEnds",
                                                  25,
                                                  {2026, 10, 25, 12, 0, 0},
                                                  {2026, 10, 25, 0, 0, 0},
                                                  {2026, 11, 25, 0, 0, 0}},
                                           Period{"TheSecondBeforeBerlinSummerTimeEnds",
                                                  25,
                                                  {2026, 10, 24, 23, 59, 59},
                                                  {2026, 9, 25, 0, 0, 0},
                                                  {2026, 10, 25, 0, 0, 0}},
                                           Period{"NewYorkSummerTimeBegins",
                                                  14,
                                                  {2027, 3, 14, 0, 0, 0},
                                                  {2027, 3, 14, 0, 0, 0},
                                                  {2027, 4, 14, 0, 0, 0}},
                                           Period{"TheSecondBeforeNewYorkSummerTimeEnds",
                                                  1,
                                                  {2026, 10, 31, 23, 59, 59},
                                                  {2026, 10, 1, 0, 0, 0},
                                                  {2026, 11, 1, 0, 0, 0}},
                                           Period{"OverTheYearsEnd",
                                                  15,
                                                  {2027, 1, 3, 9, 0, 0},
                                                  {2026, 12, 15, 0, 0, 0},
                                                  {2027, 1, 15, 0, 0, 0}},
                                           Period{"Day31IntoTheNewYear",
                                                  31,
                                                  {2026, 12, 31, 0, 0, 0},
                                                  {2026, 12, 31, 0, 0, 0},
                                                  {2027, 1, 31, 0, 0, 0}},
                                           Period{"Day0IsTheFirst",
                                                  0,
                                                  {2027, 1, 1, 0, 0, 0},
                                                  {2027, 1, 1, 0, 0, 0},
                                                  {2027, 2, 1, 0, 0, 0}},
                                           Period{"Day99IsTheLast",
                                                  99,
                                                  {2027, 2, 10, 0, 0, 0},
                                                  {2027, 1, 31, 0, 0, 0},
                                                  {2027, 2, 28, 0, 0, 0}}),
                         RowName());
