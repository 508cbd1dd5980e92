#include "Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

int32 BytesPerPixel(color_space space)
{
    switch (space) {
    case B_CMAP8:
        return 1;
    case B_RGB32:
    case B_RGBA32:
        return 4;
    default:
        return 0;
    }
}

} // namespace

BBitmap::BBitmap(BRect bounds, color_space space, bool, bool)
    : fBounds(bounds), fSpace(space), fBytesPerRow(0), fStatus(B_BAD_VALUE)
{
    int32 bytes = BytesPerPixel(space);
    if (!bounds.IsValid() || bytes == 0)
        return;
    int32 width = bounds.IntegerWidth() + 1;
    int32 height = bounds.IntegerHeight() + 1;
    // Refuse sizes whose byte count would not fit in BitsLength().
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768)
        return;
    fBytesPerRow = (width * bytes + 3) & ~3;
    fBits.assign(static_cast<size_t>(fBytesPerRow) * static_cast<size_t>(height), 0);
    fStatus = B_OK;
}

BBitmap::BBitmap(const BBitmap& other) = default;

BBitmap::~BBitmap() = default;

status_t BBitmap::InitCheck() const
{
    return fStatus;
}

bool BBitmap::IsValid() const
{
    return fStatus == B_OK;
}

BRect BBitmap::Bounds() const
{
    return fBounds;
}

color_space BBitmap::ColorSpace() const
{
    return fSpace;
}

void* BBitmap::Bits()
{
    return fBits.empty() ? nullptr : fBits.data();
}

const void* BBitmap::Bits() const
{
    return fBits.empty() ? nullptr : fBits.data();
}

int32 BBitmap::BitsLength() const
{
    return static_cast<int32>(fBits.size());
}

int32 BBitmap::BytesPerRow() const
{
    return fBytesPerRow;
}

void BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space space)
{
    if (data == nullptr || length <= 0 || offset < 0 || space != fSpace)
        return;
    if (offset >= BitsLength())
        return;
    int32 count = std::min(length, BitsLength() - offset);
    memcpy(fBits.data() + offset, data, static_cast<size_t>(count));
}

rgb_color BBitmap::ColorAt(int32 x, int32 y) const
{
    if (!IsValid() || x < 0 || y < 0 || x > fBounds.IntegerWidth() || y > fBounds.IntegerHeight())
        return {0, 0, 0, 0};
    const uint8* pixel = fBits.data() + static_cast<size_t>(y) * fBytesPerRow +
                         static_cast<size_t>(x) * BytesPerPixel(fSpace);
    if (fSpace == B_CMAP8)
        return ColorForIndex(pixel[0]);
    uint8 alpha = fSpace == B_RGBA32 ? pixel[3] : 255;
    return {pixel[2], pixel[1], pixel[0], alpha};
}

rgb_color BBitmap::ColorForIndex(uint8 index)
{
    // 0-215: a 6×6×6 colour cube; 216-254: greys from black to white; 255: transparent.
    if (index == B_TRANSPARENT_8_BIT)
        return {0, 0, 0, 0};
    if (index < 216) {
        uint8 red = static_cast<uint8>(index / 36 * 51);
        uint8 green = static_cast<uint8>(index / 6 % 6 * 51);
        uint8 blue = static_cast<uint8>(index % 6 * 51);
        return {red, green, blue, 255};
    }
    uint8 grey = static_cast<uint8>(std::lround((index - 216) * 255.0 / 38.0));
    return {grey, grey, grey, 255};
}
