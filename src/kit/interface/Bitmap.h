#pragma once

// A picture in memory: bounds, a pixel format and the pixel bytes. The display server shows
// copies of it (a view's bitmap, a dragged image), so a bitmap may be changed or deleted
// after it was handed over.
//
// B_RGB32 and B_RGBA32 pixels are four bytes blue, green, red, alpha; B_CMAP8 pixels index
// the kit's 256-colour map (see ColorForIndex). Rows are BytesPerRow() apart.

#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <vector>

class BBitmap
{
public:
    // acceptsViews and needsContiguous are accepted and have no effect.
    BBitmap(BRect bounds, color_space space, bool acceptsViews = false,
            bool needsContiguous = false);
    BBitmap(const BBitmap& other);
    virtual ~BBitmap();

    status_t InitCheck() const; // B_BAD_VALUE for invalid bounds or an unknown format
    bool IsValid() const;

    BRect Bounds() const;
    color_space ColorSpace() const;
    void* Bits();
    const void* Bits() const;
    int32 BitsLength() const;
    int32 BytesPerRow() const;

    // Copies length bytes of data to the pixels at offset (bytes); data in the bitmap's own
    // format. Bytes beyond the end are ignored.
    void SetBits(const void* data, int32 length, int32 offset, color_space space);

    // The colour of one pixel (transparent outside the bounds).
    rgb_color ColorAt(int32 x, int32 y) const;
    // The colour a B_CMAP8 index stands for.
    static rgb_color ColorForIndex(uint8 index);

    // Bitmaps are not shared between threads by the kit; these always succeed.
    bool Lock() { return true; }
    void Unlock() {}

private:
    BRect fBounds;
    color_space fSpace;
    int32 fBytesPerRow;
    std::vector<uint8> fBits;
    status_t fStatus;
};
