#include "AboutWindow.h"

#include "BitmapView.h"

#include <AppDefs.h>
#include <Bitmap.h>
#include <Message.h>
#include <Screen.h>

AboutWindow::AboutWindow(BBitmap* picture)
    : BWindow(BRect(100, 100, 200, 200), "", B_MODAL_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL,
              B_NOT_RESIZABLE),
      fPicture(picture)
{
    BRect screen = BScreen().Frame();
    BRect bounds = fPicture->Bounds();
    MoveTo(screen.left + (screen.Width() - bounds.Width()) / 2,
           screen.top + (screen.Height() - bounds.Height()) / 2);
    AddChild(new BitmapView(fPicture.get())); // sizes the window to the picture
    Show();
    BMessage close(B_QUIT_REQUESTED);
    fCloser = std::make_unique<BMessageRunner>(BMessenger(this), &close, kShowTime, 1);
}

AboutWindow::~AboutWindow() = default;
