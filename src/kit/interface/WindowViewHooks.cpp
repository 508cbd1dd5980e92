// Placeholders for the view kit's window hooks (see the Views section of Window.h): a window
// without a view tree. The view kit replaces this file with its own definitions.

#include <Window.h>

bool BWindow::DispatchToViews(BMessage*, BHandler*)
{
    return false;
}

void BWindow::DeleteViews() {}
