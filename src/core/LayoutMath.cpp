#include "core/LayoutMath.h"

namespace LayoutMath
{
namespace
{
struct AxisShares
{
    std::uint8_t nNear;
    std::uint8_t nFar;
};

AxisShares SharesForMode(int nMode)
{
    switch (nMode)
    {
    case lmStretch:
        return {0, 100};
    case lmMove:
        return {100, 100};
    case lmMoveHalf:
        return {50, 50};
    default:
        return {0, 0};
    }
}

// Integer division in C++ truncates toward zero, as the layout requires for negative changes.
int ShareOf(std::uint8_t nShare, int nDelta)
{
    return static_cast<int>(nShare) * nDelta / 100;
}
} // namespace

Shares SharesForModes(int nHorizontal, int nVertical)
{
    const AxisShares h = SharesForMode(nHorizontal);
    const AxisShares v = SharesForMode(nVertical);
    return {h.nNear, h.nFar, v.nNear, v.nFar};
}

bool AreSharesOrdered(const Shares& shares)
{
    return shares.right >= shares.left && shares.bottom >= shares.top;
}

Rect Reposition(const Rect& base, const Shares& shares, int dx, int dy)
{
    return {base.left + ShareOf(shares.left, dx), base.top + ShareOf(shares.top, dy),
            base.right + ShareOf(shares.right, dx), base.bottom + ShareOf(shares.bottom, dy)};
}

Size ClientDelta(Size window, Size client, Size minimum, Size initialClient)
{
    if (window.cx < minimum.cx)
        client.cx += minimum.cx - window.cx;
    if (window.cy < minimum.cy)
        client.cy += minimum.cy - window.cy;
    return {client.cx - initialClient.cx, client.cy - initialClient.cy};
}

TrackingLimits ComputeTrackingLimits(Size minimum, Size maximum, SizeFreedom freedom)
{
    return {minimum,
            {(freedom & sfHorizontal) ? maximum.cx : minimum.cx, (freedom & sfVertical) ? maximum.cy : minimum.cy}};
}

bool AreLimitsValid(Size minimum, Size maximum)
{
    return minimum.cx <= maximum.cx && minimum.cy <= maximum.cy && maximum.cx != 0 && maximum.cy != 0;
}

Size ChangeToFitLimits(Size window, Size minimum, Size maximum)
{
    auto change = [](int nSize, int nMin, int nMax) {
        if (nSize > nMax)
            return nMax - nSize;
        if (nSize < nMin)
            return nMin - nSize;
        return 0;
    };
    return {change(window.cx, minimum.cx, maximum.cx), change(window.cy, minimum.cy, maximum.cy)};
}

Size PercentOf(Size size, int nPercent)
{
    return {nPercent * size.cx / 100, nPercent * size.cy / 100};
}

std::optional<Rect> GrowAroundCentre(const Rect& rect, Size change)
{
    const Rect grown{rect.left - change.cx / 2, rect.top - change.cy / 2, rect.right + (change.cx + 1) / 2,
                     rect.bottom + (change.cy + 1) / 2};
    if (grown.left >= grown.right || grown.top >= grown.bottom)
        return std::nullopt;
    return grown;
}
} // namespace LayoutMath
