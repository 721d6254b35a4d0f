#include "objects/core/drag_targets.h"
#include "objects/core/drop_rules.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zx;

namespace {

// Target 0 at (100,50) 120x40, target 1 just below it at (100,90) 120x40.
const DragTargets twoTargets("0,,1,100,50,120,40;1,,0,100,90,120,40;");

DropOutcome drop(const DragTargets& targets, ItemRect released, bool mayOverlap = true,
                 std::vector<ItemRect> others = {})
{
    return decideDrop(targets, released, Position{5, 6}, mayOverlap,
                      [&](const ItemRect& area) { return isAreaTaken(area, others); });
}

} // namespace

TEST(DropRules, SpansAndRectangles)
{
    EXPECT_TRUE(spansOverlap(0, 10, 10, 20)); // touching ends
    EXPECT_TRUE(spansOverlap(20, 10, 0, 10)); // either order of the ends
    EXPECT_TRUE(spansOverlap(0, 100, 40, 60));
    EXPECT_TRUE(spansOverlap(40, 60, 0, 100));
    EXPECT_FALSE(spansOverlap(0, 9, 10, 20));
    EXPECT_TRUE(rectanglesOverlap({0, 0, 10, 10}, {10, 10, 5, 5})); // corners touch
    EXPECT_FALSE(rectanglesOverlap({0, 0, 10, 10}, {11, 0, 5, 5}));
}

TEST(DropRules, FirstTargetTouchedWins)
{
    // The item touches both targets: the lower index wins and it is centred.
    const DropOutcome both = drop(twoTargets, {130, 70, 60, 40});
    EXPECT_EQ(both.placedIndex, 0);
    EXPECT_EQ(both.destination, (Position{100 + 60 - 30, 50 + 20 - 20}));

    EXPECT_EQ(drop(twoTargets, {130, 130, 60, 40}).placedIndex, 1); // touches target 1's bottom edge only
    EXPECT_EQ(drop(twoTargets, {130, 131, 60, 40}).placedIndex, -1);

    // Nothing hit: home, not placed.
    const DropOutcome miss = drop(twoTargets, {400, 400, 10, 10});
    EXPECT_EQ(miss.placedIndex, -1);
    EXPECT_EQ(miss.destination, (Position{5, 6}));
}

TEST(DropRules, InsideALargeTargetOrAroundASmallOne)
{
    const DragTargets large("0,,1,0,0,400,300;");
    EXPECT_EQ(drop(large, {50, 50, 20, 20}).placedIndex, 0);

    const DragTargets small("4,,1,105,105,3,3;");
    const DropOutcome around = drop(small, {100, 100, 20, 20});
    EXPECT_EQ(around.placedIndex, 4);
    EXPECT_EQ(around.destination, (Position{105 + 1 - 10, 105 + 1 - 10})); // halves truncate

    // Truncation toward zero with a negative size.
    EXPECT_EQ(centreOnTarget(DragTarget{"", "0", 10, 10, -5, -5}, 3, 3), (Position{10 - 2 - 1, 10 - 2 - 1}));
}

TEST(DropRules, OverlapRefusedSendsHome)
{
    const std::vector<ItemRect> other = {{130, 50, 60, 40}}; // already sits on target 0's centre
    const DropOutcome refused = drop(twoTargets, {130, 60, 60, 20}, false, other);
    EXPECT_EQ(refused.placedIndex, -1);
    EXPECT_EQ(refused.destination, (Position{5, 6}));

    // Items that may overlap ignore the other item.
    EXPECT_EQ(drop(twoTargets, {130, 60, 60, 20}, true, other).placedIndex, 0);
    EXPECT_FALSE(itemsMayOverlap("<dragCanIntersect>0</dragCanIntersect>"));
    EXPECT_TRUE(itemsMayOverlap("<dragCanIntersect>00</dragCanIntersect>"));
    EXPECT_TRUE(itemsMayOverlap(""));
}

TEST(DropRules, CheatPlacement)
{
    const DragTargets marked("0,,1,0,0,100,100;1,,0,200,0,100,100;2,,1,400,0,100,100;");
    EXPECT_EQ(cheatCandidates(marked, 0), (std::vector<int>{0, 2}));
    EXPECT_TRUE(cheatCandidates(marked, 100).empty()); // no target beats the unplaced mark
    EXPECT_TRUE(cheatCandidates(DragTargets("0,,1,0,0,9,9;1,,1,20,0,9,9;"), 100).empty());

    EXPECT_EQ(cheatPosition(marked, 0, 20, 20, true, nullptr), (Position{40, 40}));
    // Target 0's centre is taken: the next best candidate is used.
    const std::vector<ItemRect> others = {{45, 45, 5, 5}};
    auto taken = [&](const ItemRect& area) { return isAreaTaken(area, others); };
    EXPECT_EQ(cheatPosition(marked, 0, 20, 20, false, taken), (Position{440, 40}));
    EXPECT_FALSE(cheatPosition(marked, 0, 20, 20, false, [](const ItemRect&) { return true; }));
}

TEST(DropRules, StoredPlacement)
{
    const DragTargets t("2,,1,0,0,9,9;");
    EXPECT_EQ(storedPlacement("<userAnswer>2</userAnswer>", t), 2);
    EXPECT_EQ(storedPlacement("<userAnswer>3</userAnswer>", t), -1);
    EXPECT_EQ(storedPlacement("<userAnswer>150</userAnswer>", t), -1);
    EXPECT_EQ(storedPlacement("", t), -1);
}

TEST(DropRules, GlidePath)
{
    const std::vector<Position> path = glidePath({0, 0}, {100, 50});
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.front(), (Position{0, 0}));
    EXPECT_EQ(path.back(), (Position{100, 50}));
    for (std::size_t k = 0; k + 1 < path.size(); ++k) {
        EXPECT_EQ(path[k].x, static_cast<int>(k)); // one pixel right per step
        const int halfDown = static_cast<int>(k) / 2 + ((k % 4 == 3) ? 1 : 0); // halves go to the even neighbour
        EXPECT_EQ(path[k].y, halfDown) << k;
    }
    EXPECT_EQ(path.size(), 101u); // stops when the top reaches 50 at step 99, then lands exactly

    // Backwards and steep.
    const std::vector<Position> back = glidePath({10, 100}, {0, 0});
    EXPECT_EQ(back[1], (Position{10, 99}));
    EXPECT_EQ(back[50], (Position{5, 50}));
    EXPECT_EQ(back.back(), (Position{0, 0}));

    // One axis only: a single jump.
    EXPECT_EQ(glidePath({0, 0}, {300, 0}), (std::vector<Position>{{0, 0}, {300, 0}}));
    EXPECT_EQ(glidePath({7, 7}, {7, 7}), (std::vector<Position>{{7, 7}}));

    // Long glides stop after 2000 steps and land exactly.
    const std::vector<Position> far = glidePath({0, 0}, {5000, 4000});
    EXPECT_EQ(far.size(), 2001u);
    EXPECT_EQ(far.back(), (Position{5000, 4000}));
}

TEST(DropRules, HugeNumbersStayInRange)
{
    const DragTargets huge("0,,1,2147483647,2147483647,2147483647,-2147483648;1,,1,99999999999,0,5,5;");
    EXPECT_TRUE(huge.isDefined(0));
    EXPECT_EQ(huge.at(1).left, 0); // out of range: the default
    const auto hit = findDropTarget(huge, {2147483000, 2147483000, 2147483647, 2147483647});
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, 0);
    const Position p = centreOnTarget(huge.at(0), -2147483647, 0);
    EXPECT_EQ(p.x, 2147483647);
    EXPECT_EQ(glidePath({2147483647, 0}, {-2147483647 - 1, 10}).back(), (Position{-2147483647 - 1, 10}));
}
