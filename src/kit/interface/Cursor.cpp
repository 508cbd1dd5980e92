#include "Cursor.h"

#include <cstring>

// The hand cursor stands for the system's default pointer, so it is recognised by identity.
const unsigned char B_HAND_CURSOR[68] = {16, 1, 2, 2};

BCursor::BCursor(const void* cursorData)
    : fImage{}, fMask{}, fHotX(0), fHotY(0), fSystem(true), fStatus(B_BAD_VALUE)
{
    const unsigned char* data = static_cast<const unsigned char*>(cursorData);
    if (data == nullptr || data == B_HAND_CURSOR || data[0] != 16 || data[1] != 1)
        return;
    fHotY = data[2] & 0x0f;
    fHotX = data[3] & 0x0f;
    for (int y = 0; y < 16; y++) {
        fImage[y] = static_cast<uint16>((data[4 + 2 * y] << 8) | data[5 + 2 * y]);
        fMask[y] = static_cast<uint16>((data[36 + 2 * y] << 8) | data[37 + 2 * y]);
    }
    fSystem = false;
    fStatus = B_OK;
}

BCursor::BCursor(const BCursor& other) = default;

BCursor::~BCursor() = default;

status_t BCursor::InitCheck() const
{
    return fStatus;
}

uint16 BCursor::ImageRow(int32 y) const
{
    return (y >= 0 && y < 16) ? fImage[y] : 0;
}

uint16 BCursor::MaskRow(int32 y) const
{
    return (y >= 0 && y < 16) ? fMask[y] : 0;
}
