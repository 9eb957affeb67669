#pragma once

#include <cstdint>
#include <optional>

// The arithmetic behind the control layout manager, free of any window system: how a control's
// rectangle follows a change of its window's client size, the tracking limits, and growing a
// window around its centre. Rectangles are (left, top, right, bottom) with exclusive right/bottom.

// Per-axis rule of a registered control.
enum LayoutMode : int
{
    lmFixed = 0,   // neither moves nor grows
    lmStretch = 1, // near edge stays, far edge follows: grows with the window
    lmMove = 2,    // keeps its size and moves with the far border
    lmMoveHalf = 3 // keeps its size and moves by half the change
};

// The directions in which a window may change its size.
enum SizeFreedom : std::uint32_t
{
    sfHorizontal = 1,
    sfVertical = 2,
    sfBoth = 3
};

namespace LayoutMath
{
struct Size
{
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Percent of the size change that each edge follows.
struct Shares
{
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    std::uint8_t top = 0;
    std::uint8_t bottom = 0;
    friend bool operator==(const Shares&, const Shares&) = default;
};

// The shares a pair of modes stands for; a mode outside lmFixed..lmMoveHalf counts as lmFixed.
Shares SharesForModes(int nHorizontal, int nVertical);

// Whether the far edges follow at least as much as the near edges (a registration precondition).
bool AreSharesOrdered(const Shares& shares);

// The rectangle of a control for the client size change (dx, dy): every edge moves by its share
// of the change, each product divided by 100 truncating toward zero. Always computed from the
// base rectangle, so repeated resizing cannot drift.
Rect Reposition(const Rect& base, const Shares& shares, int dx, int dy);

// The client size change to lay out for: a window smaller than its minimum counts as being at
// its minimum, so controls never overlap because the platform made it smaller.
Size ClientDelta(Size window, Size client, Size minimum, Size initialClient);

// Minimum and maximum tracking sizes: a direction without freedom is fixed at the minimum.
struct TrackingLimits
{
    Size minimum;
    Size maximum;
};
TrackingLimits ComputeTrackingLimits(Size minimum, Size maximum, SizeFreedom freedom);

// Limits are usable when the minimum does not exceed the maximum and no maximum is 0.
bool AreLimitsValid(Size minimum, Size maximum);

// The size change that brings the window within the limits ((0, 0) when it already is).
Size ChangeToFitLimits(Size window, Size minimum, Size maximum);

// p percent of the size, truncating toward zero.
Size PercentOf(Size size, int nPercent);

// The rectangle grown by (cx, cy) around its centre, an odd extra pixel to the right and bottom;
// nullopt when the result would be empty.
std::optional<Rect> GrowAroundCentre(const Rect& rect, Size change);
} // namespace LayoutMath
