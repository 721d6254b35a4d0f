#include "objects/core/selection_queue.h"

#include <gtest/gtest.h>

using namespace zx;

namespace {
constexpr int A = 0, B = 1, C = 2;
}

TEST(SelectionQueue, LimitOfOneActsAsARadioGroup)
{
    SelectionQueue q;
    EXPECT_FALSE(q.select(A, 1));
    EXPECT_EQ(q.select(B, 1), A);
    EXPECT_EQ(q.at(0), B);
    EXPECT_FALSE(q.contains(A));
    EXPECT_EQ(q.count(), 1);
    EXPECT_FALSE(q.select(B, 1)); // reselecting keeps one entry and clears nothing
    EXPECT_EQ(q.count(), 1);
}

TEST(SelectionQueue, LimitOfTwoClearsTheOldest)
{
    SelectionQueue q;
    EXPECT_FALSE(q.select(A, 2));
    EXPECT_FALSE(q.select(B, 2));
    EXPECT_EQ(q.select(C, 2), A);
    EXPECT_EQ(q.at(0), C);
    EXPECT_EQ(q.at(1), B);

    q.deselect(B);
    EXPECT_FALSE(q.select(A, 2));
    EXPECT_EQ(q.at(0), A);
    EXPECT_EQ(q.at(1), C);
    EXPECT_EQ(q.count(), 2);

    // A true/false button answered again on its other half: still one entry.
    EXPECT_FALSE(q.select(C, 2));
    EXPECT_EQ(q.at(0), C);
    EXPECT_EQ(q.at(1), A);
    EXPECT_EQ(q.count(), 2);
}

TEST(SelectionQueue, NoLimit)
{
    EXPECT_EQ(SelectionQueue::limitFrom(0), 0);
    EXPECT_EQ(SelectionQueue::limitFrom(-3), 0);
    EXPECT_EQ(SelectionQueue::limitFrom(75), 60);
    EXPECT_EQ(SelectionQueue::limitOfPage("<numSelections>2</numSelections>"), 2);
    EXPECT_EQ(SelectionQueue::limitOfPage(""), 0);

    SelectionQueue q;
    for (int id = 0; id < 100; ++id)
        EXPECT_FALSE(q.select(id, 0));
    EXPECT_EQ(q.count(), 0);

    // The largest limit: the 61st selection clears the first.
    for (int id = 0; id < 60; ++id)
        EXPECT_FALSE(q.select(id, 60));
    EXPECT_EQ(q.select(60, 99), 0);
    q.clear();
    EXPECT_EQ(q.count(), 0);
}
