#pragma once

// A point in a view's or the screen's coordinate system (y grows downwards).

#include "SupportDefs.h"

class BPoint
{
public:
    constexpr BPoint() : x(0), y(0) {}
    constexpr BPoint(float px, float py) : x(px), y(py) {}

    void Set(float px, float py)
    {
        x = px;
        y = py;
    }

    constexpr BPoint operator+(const BPoint& other) const { return {x + other.x, y + other.y}; }
    constexpr BPoint operator-(const BPoint& other) const { return {x - other.x, y - other.y}; }
    constexpr BPoint operator-() const { return {-x, -y}; }
    BPoint& operator+=(const BPoint& other)
    {
        x += other.x;
        y += other.y;
        return *this;
    }
    BPoint& operator-=(const BPoint& other)
    {
        x -= other.x;
        y -= other.y;
        return *this;
    }
    constexpr bool operator==(const BPoint& other) const = default;

    void PrintToStream() const;

    float x;
    float y;
};

inline constexpr BPoint B_ORIGIN(0, 0);
