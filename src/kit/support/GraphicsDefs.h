#pragma once

// Colours: four bytes red, green, blue, alpha, in that order in memory (the byte layout
// stored in colour attributes and 'RGBC' message fields).

#include "SupportDefs.h"

struct rgb_color
{
    uint8 red;
    uint8 green;
    uint8 blue;
    uint8 alpha;

    rgb_color& set_to(uint8 r, uint8 g, uint8 b, uint8 a = 255)
    {
        red = r;
        green = g;
        blue = b;
        alpha = a;
        return *this;
    }
    constexpr bool operator==(const rgb_color& other) const = default;
};

static_assert(sizeof(rgb_color) == 4, "rgb_color is stored as exactly four bytes");

inline constexpr rgb_color make_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
{
    return rgb_color{red, green, blue, alpha};
}

inline constexpr uint8 B_TRANSPARENT_8_BIT = 0xff;
inline constexpr rgb_color B_TRANSPARENT_COLOR = {0x77, 0x74, 0x77, 0x00};
