#include "support/TableRow.h"
#include "log/ConnectionWalk.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

// Connections told apart by their duration.
CConnectionList Numbered(int count) {
    CConnectionList list;
    for (int i = 0; i < count; ++i)
        list.emplace_back(1000 + i, i, 0, 0);
    return list;
}

std::vector<int> Durations(const CConnectionList& list) {
    std::vector<int> durations;
    for (const CConnectionInfo& info : list)
        durations.push_back(info.m_nDuration);
    return durations;
}

bool DropMultiplesOfThree(const CConnectionInfo& info) {
    return info.m_nDuration % 3 == 0;
}

struct Walk {
    std::vector<int> visited;
    int throwAt = -1; // the duration whose visit fails
    void operator()(const CConnectionInfo& info) {
        if (info.m_nDuration == throwAt)
            throw std::runtime_error("disk full");
        visited.push_back(info.m_nDuration);
    }
};

// The walk over Numbered(10) that drops the multiples of three, in one direction: the
// durations it visits, and when the visit of 5 fails, those it visited before and the list left.
struct Direction {
    const char* name;
    bool oldestFirst;
    std::vector<int> visited;
    std::vector<int> visitedBeforeTheFailure;
    std::vector<int> leftByTheFailure;
};

void PrintTo(const Direction& row, std::ostream* os) {
    *os << row.name;
}

class ConnectionWalk : public ::testing::TestWithParam<Direction> {};

} // namespace

TEST_P(ConnectionWalk, VisitsTheKeptOnesInItsOrderAndKeepsTheListsOrder) {
    CConnectionList list = Numbered(10);
    Walk walk;
    WalkConnectionList(list, GetParam().oldestFirst, DropMultiplesOfThree, std::ref(walk));
    EXPECT_EQ(GetParam().visited, walk.visited);
    EXPECT_EQ((std::vector<int>{1, 2, 4, 5, 7, 8}), Durations(list));
    EXPECT_EQ(1002, list[1].m_timeStart);
}

TEST_P(ConnectionWalk, EmptyListsAndListsDroppedWhole) {
    CConnectionList empty;
    Walk walk;
    WalkConnectionList(empty, GetParam().oldestFirst, DropMultiplesOfThree, std::ref(walk));
    EXPECT_TRUE(empty.empty());
    CConnectionList list = Numbered(5);
    WalkConnectionList(
        list, GetParam().oldestFirst, [](const CConnectionInfo&) { return true; }, std::ref(walk));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(walk.visited.empty());
}

// A failing write stops the walk: what it dropped is gone, what it had not reached stays.
TEST_P(ConnectionWalk, AFailingVisitStopsTheWalkWithTheRestUntouched) {
    CConnectionList list = Numbered(10);
    Walk walk{{}, 5};
    EXPECT_THROW(
        WalkConnectionList(list, GetParam().oldestFirst, DropMultiplesOfThree, std::ref(walk)),
        std::runtime_error);
    EXPECT_EQ(GetParam().visitedBeforeTheFailure, walk.visited);
    EXPECT_EQ(GetParam().leftByTheFailure, Durations(list));
}

INSTANTIATE_TEST_SUITE_P(
    Directions, ConnectionWalk,
    ::testing::Values(
        Direction{"OldestFirst", true, {1, 2, 4, 5, 7, 8}, {1, 2, 4}, {1, 2, 4, 5, 6, 7, 8, 9}},
        Direction{"NewestFirst", false, {8, 7, 5, 4, 2, 1}, {8, 7}, {0, 1, 2, 3, 4, 5, 7, 8}}),
    RowName());
