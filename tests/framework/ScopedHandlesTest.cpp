#include "framework/ScopedHandles.h"

#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Handles that are plain numbers, 0 empty; what is given back is noted in order.
std::vector<int> closed;
struct NotingTraits {
    using Handle = int;
    static int Empty() { return 0; }
    static void Close(int h) { closed.push_back(h); }
};
using Owner = fw::ScopedResource<NotingTraits>;

struct HandOnRow {
    const char* name;
    Owner (*handOn)(Owner& from); // from holds 1
    std::vector<int> closedByHandOn;
};

class ScopedResourceTest : public ::testing::TestWithParam<HandOnRow> {};

} // namespace

TEST_P(ScopedResourceTest, HandingOnEmptiesTheSourceAndTheNewOwnerClosesTheHandleOnce) {
    closed.clear();
    {
        Owner from(1);
        const Owner to = GetParam().handOn(from);
        EXPECT_FALSE(from);
        EXPECT_EQ(1, to.Get());
        EXPECT_EQ(GetParam().closedByHandOn, closed);
    }
    std::vector<int> expected = GetParam().closedByHandOn;
    expected.push_back(1);
    EXPECT_EQ(expected, closed);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ScopedResourceTest,
    ::testing::Values(HandOnRow{"Detach", [](Owner& from) { return Owner(from.Detach()); }, {}},
                      HandOnRow{"Move", [](Owner& from) { return Owner(std::move(from)); }, {}},
                      HandOnRow{"MoveOverAHeldHandle",
                                [](Owner& from) {
                                    Owner to(2);
                                    to = std::move(from);
                                    return to;
                                },
                                {2}}),
    RowName());
