#pragma once

// A mouse cursor made from 16×16 one-bit data, in the classic 68-byte layout:
//   byte 0: 16 (the size), byte 1: 1 (bits per pixel), byte 2: hot spot row (y),
//   byte 3: hot spot column (x), then 16 rows of image bits, then 16 rows of mask bits,
//   each row two bytes, most significant bit leftmost. Image bit 1 is black, 0 white;
//   mask bit 0 is transparent.
// Views show a cursor with BView::SetViewCursor.

#include <SupportDefs.h>

class BCursor
{
public:
    // Data that is not in the layout above gives the system cursor (InitCheck B_BAD_VALUE).
    explicit BCursor(const void* cursorData);
    BCursor(const BCursor& other);
    virtual ~BCursor();

    status_t InitCheck() const;
    // Row y (0-15) of the image and of the mask; the hot spot.
    uint16 ImageRow(int32 y) const;
    uint16 MaskRow(int32 y) const;
    int32 HotX() const { return fHotX; }
    int32 HotY() const { return fHotY; }
    // True for the system's own cursor (B_HAND_CURSOR, or data that was not valid).
    bool IsSystemCursor() const { return fSystem; }

private:
    uint16 fImage[16];
    uint16 fMask[16];
    int32 fHotX;
    int32 fHotY;
    bool fSystem;
    status_t fStatus;
};

// The system's pointing cursor, as cursor data.
extern const unsigned char B_HAND_CURSOR[];
