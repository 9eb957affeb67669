#include "core/LayoutMath.h"

#include <gtest/gtest.h>

using namespace LayoutMath;

namespace
{
struct ModeCase
{
    int nHorizontal;
    int nVertical;
    Shares expected;
};

class LayoutModes : public testing::TestWithParam<ModeCase>
{
};

TEST_P(LayoutModes, MapToEdgeShares)
{
    EXPECT_EQ(SharesForModes(GetParam().nHorizontal, GetParam().nVertical), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(AllModes, LayoutModes,
                         testing::Values(ModeCase{lmFixed, lmStretch, {0, 0, 0, 100}},
                                         ModeCase{lmMove, lmMoveHalf, {100, 100, 50, 50}},
                                         ModeCase{lmStretch, lmMove, {0, 100, 100, 100}},
                                         ModeCase{4, -1, {0, 0, 0, 0}})); // unknown modes count as fixed

TEST(LayoutShares, FarEdgeMustFollowAtLeastTheNearEdge)
{
    EXPECT_TRUE(AreSharesOrdered({0, 100, 50, 50}));
    EXPECT_FALSE(AreSharesOrdered({100, 0, 0, 0}));
    EXPECT_FALSE(AreSharesOrdered({0, 0, 60, 40}));
}

struct MoveCase
{
    Shares shares;
    int dx;
    int dy;
    Rect expected;
};

class LayoutReposition : public testing::TestWithParam<MoveCase>
{
};

TEST_P(LayoutReposition, TruncatesEachShareTowardZero)
{
    const Rect base{10, 20, 110, 70};
    EXPECT_EQ(Reposition(base, GetParam().shares, GetParam().dx, GetParam().dy), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Shares, LayoutReposition,
                         testing::Values(MoveCase{{50, 50, 50, 50}, 1, 1, {10, 20, 110, 70}}, // half of +1 is 0
                                         MoveCase{
                                             {50, 50, 50, 50}, 2, -3, {11, 19, 111, 69}}, // +2 moves 1, -3 moves -1
                                         MoveCase{{0, 100, 0, 100}, -7, 40, {10, 20, 103, 110}}, // stretch
                                         MoveCase{{100, 100, 100, 100}, 25, -5, {35, 15, 135, 65}},
                                         MoveCase{{33, 33, 0, 0}, 10, 0, {13, 20, 113, 70}}, // 330 / 100 = 3
                                         MoveCase{{0, 0, 0, 0}, 500, 500, {10, 20, 110, 70}}));

TEST(LayoutReposition, RepeatedResizingDoesNotDrift)
{
    const Rect base{10, 20, 110, 70};
    const Shares half{50, 50, 50, 50};
    // Many odd steps of +1 and back: computing from the base each time lands on the same rectangle.
    Rect rect = base;
    for (int d = 1; d <= 99; d += 2)
        rect = Reposition(base, half, d, d);
    EXPECT_EQ(rect, (Rect{59, 69, 159, 119}));
    EXPECT_EQ(Reposition(base, half, 0, 0), base);
}

TEST(LayoutDelta, WindowBelowItsMinimumIsLaidOutAsAtTheMinimum)
{
    const Size minimum{300, 200};
    const Size initialClient{290, 170};
    const Size atMinimum = ClientDelta({300, 200}, {290, 170}, minimum, initialClient);
    EXPECT_EQ(atMinimum, (Size{0, 0}));
    EXPECT_EQ(ClientDelta({250, 150}, {240, 120}, minimum, initialClient), atMinimum);
    EXPECT_EQ(ClientDelta({400, 150}, {390, 120}, minimum, initialClient), (Size{100, 0}));
}

TEST(LayoutLimits, DirectionWithoutFreedomIsFixedAtTheMinimum)
{
    const Size minimum{300, 200};
    const Size maximum{2147483647, 2147483647};
    EXPECT_EQ(ComputeTrackingLimits(minimum, maximum, sfBoth).maximum, maximum);
    const TrackingLimits horizontalOnly = ComputeTrackingLimits(minimum, maximum, sfHorizontal);
    EXPECT_EQ(horizontalOnly.minimum, minimum);
    EXPECT_EQ(horizontalOnly.maximum, (Size{2147483647, 200}));
    EXPECT_EQ(ComputeTrackingLimits(minimum, maximum, sfVertical).maximum, (Size{300, 2147483647}));
}

TEST(LayoutLimits, RejectsCrossedOrZeroLimits)
{
    EXPECT_TRUE(AreLimitsValid({100, 100}, {100, 100}));
    EXPECT_FALSE(AreLimitsValid({0, 0}, {0, 500}));
    EXPECT_FALSE(AreLimitsValid({200, 100}, {150, 500}));
    EXPECT_FALSE(AreLimitsValid({100, 600}, {150, 500}));
}

TEST(LayoutLimits, ChangeToFitMovesEachDirectionToTheNearestLimit)
{
    EXPECT_EQ(ChangeToFitLimits({150, 300}, {100, 100}, {200, 200}), (Size{0, -100}));
    EXPECT_EQ(ChangeToFitLimits({50, 150}, {100, 100}, {200, 200}), (Size{50, 0}));
    EXPECT_EQ(ChangeToFitLimits({100, 200}, {100, 100}, {200, 200}), (Size{0, 0}));
}

TEST(LayoutGrow, GrowsAroundTheCentreWithTheOddPixelRightAndBottom)
{
    const Rect rect{100, 100, 200, 150};
    EXPECT_EQ(GrowAroundCentre(rect, {3, 3}), (Rect{99, 99, 202, 152}));
    EXPECT_EQ(GrowAroundCentre(rect, {-3, -3}), (Rect{101, 101, 199, 149}));
    EXPECT_EQ(GrowAroundCentre(rect, {-102, 0}), std::nullopt);
    EXPECT_EQ(GrowAroundCentre(rect, {0, -60}), std::nullopt);
}

TEST(LayoutGrow, PercentTruncatesTowardZero)
{
    EXPECT_EQ(PercentOf({325, 119}, 10), (Size{32, 11}));
    EXPECT_EQ(PercentOf({325, 119}, -10), (Size{-32, -11}));
}
} // namespace
