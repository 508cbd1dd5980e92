#pragma once

// A menu that opens where it is asked to, typically under the pointer. Go() blocks only the
// calling window's thread until the user chooses an item or closes the menu; the display
// server keeps drawing every window meanwhile.

#include <Menu.h>

class BPopUpMenu : public BMenu
{
public:
    BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
               menu_layout layout = B_ITEMS_IN_COLUMN);
    virtual ~BPopUpMenu();

    // Opens the menu at where (screen coordinates) and returns the chosen item, or nullptr
    // when none was (or nothing can be shown). With deliversMessage the item is also chosen:
    // marked in radio mode and invoked (to its target, or the calling window). With a
    // clickToOpen rectangle (screen coordinates), releasing the button inside it leaves the
    // menu open. Call it on a window's thread; openAnyway and async are not supported
    // (the call is always synchronous).
    BMenuItem* Go(BPoint where, bool deliversMessage = false, bool openAnyway = false,
                  bool async = false);
    BMenuItem* Go(BPoint where, bool deliversMessage, bool openAnyway, BRect clickToOpen,
                  bool async = false);
};
