// BPoint and BRect: the few operations that are not inline.

#include "Point.h"
#include "Rect.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void BPoint::PrintToStream() const
{
    printf("BPoint(x:%.0f, y:%.0f)\n", x, y);
}

int32 BRect::IntegerWidth() const
{
    return static_cast<int32>(std::ceil(right - left));
}

int32 BRect::IntegerHeight() const
{
    return static_cast<int32>(std::ceil(bottom - top));
}

BRect& BRect::InsetBy(float dx, float dy)
{
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
    return *this;
}

BRect& BRect::OffsetBy(float dx, float dy)
{
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
}

BRect& BRect::OffsetTo(float x, float y)
{
    right += x - left;
    bottom += y - top;
    left = x;
    top = y;
    return *this;
}

BRect BRect::InsetByCopy(float dx, float dy) const
{
    BRect copy(*this);
    return copy.InsetBy(dx, dy);
}

BRect BRect::OffsetByCopy(float dx, float dy) const
{
    BRect copy(*this);
    return copy.OffsetBy(dx, dy);
}

BRect BRect::OffsetToCopy(float x, float y) const
{
    BRect copy(*this);
    return copy.OffsetTo(x, y);
}

bool BRect::Contains(BPoint point) const
{
    return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
}

bool BRect::Contains(const BRect& other) const
{
    return other.left >= left && other.right <= right && other.top >= top && other.bottom <= bottom;
}

bool BRect::Intersects(const BRect& other) const
{
    if (!IsValid() || !other.IsValid())
        return false;
    return !(left > other.right || right < other.left || top > other.bottom || bottom < other.top);
}

BRect BRect::operator&(const BRect& other) const
{
    return BRect(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                 std::min(bottom, other.bottom));
}

BRect BRect::operator|(const BRect& other) const
{
    return BRect(std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                 std::max(bottom, other.bottom));
}

void BRect::PrintToStream() const
{
    printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)\n", left, top, right, bottom);
}
