#include "AppIcon.h"

#include <Bitmap.h>
#include <Errors.h>
#include <GraphicsDefs.h>

#include <vector>

namespace {

constexpr int32 kSize = 32;

// Colour-map indexes (the 6 × 6 × 6 cube: red × 36 + green × 6 + blue, steps of 51).
constexpr uint8 kBlue = 4;    // 0, 0, 204
constexpr uint8 kWhite = 215; // 255, 255, 255
constexpr uint8 kDark = 1;    // 0, 0, 51

// Inside a rectangle with corners rounded to radius r (pixel centres, inclusive edges).
bool in_rounded(int32 x, int32 y, int32 left, int32 top, int32 right, int32 bottom, int32 r)
{
    if (x < left || x > right || y < top || y > bottom)
        return false;
    int32 cx = x < left + r ? left + r : (x > right - r ? right - r : x);
    int32 cy = y < top + r ? top + r : (y > bottom - r ? bottom - r : y);
    int32 dx = x - cx;
    int32 dy = y - cy;
    return dx * dx + dy * dy <= r * r;
}

// The bubble's tail: a triangle below its lower left, pointing down and left.
bool in_tail(int32 x, int32 y)
{
    if (y < 20 || y > 26)
        return false;
    int32 down = y - 20;
    return x >= 8 - down / 3 && x <= 14 - down * 4 / 3;
}

bool in_dot(int32 x, int32 y, int32 cx)
{
    return x >= cx - 1 && x <= cx + 1 && y >= 12 && y <= 14;
}

uint8 pixel_at(int32 x, int32 y)
{
    if (!in_rounded(x, y, 0, 0, kSize - 1, kSize - 1, 6))
        return B_TRANSPARENT_8_BIT;
    if (in_dot(x, y, 10) || in_dot(x, y, 16) || in_dot(x, y, 22))
        return kDark;
    if (in_rounded(x, y, 4, 5, 27, 21, 6) || in_tail(x, y))
        return kWhite;
    return kBlue;
}

} // namespace

status_t GetAppIcon(BBitmap* icon)
{
    if (icon == nullptr || icon->InitCheck() != B_OK || icon->ColorSpace() != B_CMAP8 ||
        icon->Bounds() != BRect(0, 0, kSize - 1, kSize - 1))
        return B_BAD_VALUE;
    const int32 row = icon->BytesPerRow();
    std::vector<uint8> bits(static_cast<size_t>(row) * kSize, B_TRANSPARENT_8_BIT);
    for (int32 y = 0; y < kSize; y++) {
        for (int32 x = 0; x < kSize; x++)
            bits[static_cast<size_t>(y * row + x)] = pixel_at(x, y);
    }
    icon->SetBits(bits.data(), static_cast<int32>(bits.size()), 0, B_CMAP8);
    return B_OK;
}
