#pragma once

// A rectangle given by its edges. As in the kit's drawing model, edges are inclusive:
// Width() is right - left, and a rectangle is valid while right >= left and bottom >= top.

#include "Point.h"

class BRect
{
public:
    // An invalid rectangle (0, 0, -1, -1).
    constexpr BRect() : left(0), top(0), right(-1), bottom(-1) {}
    constexpr BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
    constexpr BRect(BPoint leftTop, BPoint rightBottom)
        : left(leftTop.x), top(leftTop.y), right(rightBottom.x), bottom(rightBottom.y)
    {
    }

    void Set(float l, float t, float r, float b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }

    // Corners
    constexpr BPoint LeftTop() const { return {left, top}; }
    constexpr BPoint RightBottom() const { return {right, bottom}; }
    constexpr BPoint LeftBottom() const { return {left, bottom}; }
    constexpr BPoint RightTop() const { return {right, top}; }
    void SetLeftTop(BPoint p)
    {
        left = p.x;
        top = p.y;
    }
    void SetRightBottom(BPoint p)
    {
        right = p.x;
        bottom = p.y;
    }

    // Size
    constexpr float Width() const { return right - left; }
    constexpr float Height() const { return bottom - top; }
    int32 IntegerWidth() const;
    int32 IntegerHeight() const;
    constexpr bool IsValid() const { return left <= right && top <= bottom; }

    // Moving and resizing in place; each returns *this.
    BRect& InsetBy(float dx, float dy);
    BRect& InsetBy(BPoint delta) { return InsetBy(delta.x, delta.y); }
    BRect& OffsetBy(float dx, float dy);
    BRect& OffsetBy(BPoint delta) { return OffsetBy(delta.x, delta.y); }
    BRect& OffsetTo(float x, float y);
    BRect& OffsetTo(BPoint where) { return OffsetTo(where.x, where.y); }

    // Copies moved or inset
    BRect InsetByCopy(float dx, float dy) const;
    BRect OffsetByCopy(float dx, float dy) const;
    BRect OffsetToCopy(float x, float y) const;
    BRect OffsetToCopy(BPoint where) const { return OffsetToCopy(where.x, where.y); }

    // Tests
    bool Contains(BPoint point) const;
    bool Contains(const BRect& other) const;
    bool Intersects(const BRect& other) const;

    // Intersection (&) and bounding union (|)
    BRect operator&(const BRect& other) const;
    BRect operator|(const BRect& other) const;
    constexpr bool operator==(const BRect& other) const = default;

    void PrintToStream() const;

    float left;
    float top;
    float right;
    float bottom;
};
