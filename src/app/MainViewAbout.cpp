// The about picture, shown for a second over the screen's centre.

#include "AboutWindow.h"
#include "BitmapView.h"
#include "IrcMainView.h"

#include <Bitmap.h>

void IrcMainView::AboutRequested()
{
    // One at a time: a second request while it shows changes nothing.
    if (fAboutWindow.IsValid())
        return;
    BBitmap* picture = LoadAboutPicture();
    if (picture == nullptr)
        return;
    fAboutWindow = BMessenger(new AboutWindow(picture));
}
