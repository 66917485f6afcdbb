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

} // namespace

TEST(ConnectionWalk, OldestFirstVisitsTheKeptOnesInOrderAndRemovesTheOthers) {
    CConnectionList list = Numbered(10);
    Walk walk;
    WalkConnectionList(list, true, DropMultiplesOfThree, std::ref(walk));
    EXPECT_EQ((std::vector<int>{1, 2, 4, 5, 7, 8}), walk.visited);
    EXPECT_EQ((std::vector<int>{1, 2, 4, 5, 7, 8}), Durations(list));
    EXPECT_EQ(1002, list[1].m_timeStart);
}

TEST(ConnectionWalk, NewestFirstVisitsBackwardsAndKeepsTheListsOrder) {
    CConnectionList list = Numbered(10);
    Walk walk;
    WalkConnectionList(list, false, DropMultiplesOfThree, std::ref(walk));
    EXPECT_EQ((std::vector<int>{8, 7, 5, 4, 2, 1}), walk.visited);
    EXPECT_EQ((std::vector<int>{1, 2, 4, 5, 7, 8}), Durations(list));
}

TEST(ConnectionWalk, EmptyListsAndListsDroppedWhole) {
    for (bool oldestFirst : {true, false}) {
        CConnectionList empty;
        Walk walk;
        WalkConnectionList(empty, oldestFirst, DropMultiplesOfThree, std::ref(walk));
        EXPECT_TRUE(empty.empty());
        CConnectionList list = Numbered(5);
        WalkConnectionList(
            list, oldestFirst, [](const CConnectionInfo&) { return true; }, std::ref(walk));
        EXPECT_TRUE(list.empty());
        EXPECT_TRUE(walk.visited.empty());
    }
}

// A failing write stops the walk: what it dropped is gone, what it had not reached stays.
TEST(ConnectionWalk, AFailingVisitStopsTheWalkWithTheRestUntouched) {
    CConnectionList list = Numbered(10);
    Walk forward{{}, 5};
    EXPECT_THROW(WalkConnectionList(list, true, DropMultiplesOfThree, std::ref(forward)),
                 std::runtime_error);
    EXPECT_EQ((std::vector<int>{1, 2, 4}), forward.visited);
    EXPECT_EQ((std::vector<int>{1, 2, 4, 5, 6, 7, 8, 9}), Durations(list));

    list = Numbered(10);
    Walk backward{{}, 5};
    EXPECT_THROW(WalkConnectionList(list, false, DropMultiplesOfThree, std::ref(backward)),
                 std::runtime_error);
    EXPECT_EQ((std::vector<int>{8, 7}), backward.visited);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 7, 8}), Durations(list));
}
