#pragma once

#include <View.h>

class BBitmap;

// Shows a picture at its origin and sizes itself and its window to it: the about window's
// one view. The picture is copied when the view is made, so the caller keeps the bitmap and
// may delete it once the view exists.
class BitmapView : public BView
{
public:
    explicit BitmapView(const BBitmap* bitmap); // nullptr: an empty 100 by 100 view
    ~BitmapView() override;

    void AttachedToWindow() override;

private:
    BRect fBitmapBounds;
    bool fHasBitmap;
};

// The about picture, the file "VelmorGraphic" beside the program (or in $VELMOR_DATA_DIR
// when set), in any format the display server reads; the caller deletes it. nullptr when
// missing or not a picture.
BBitmap* LoadAboutPicture();
