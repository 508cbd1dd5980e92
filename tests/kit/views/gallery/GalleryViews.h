#pragma once

// The gallery's own views: a panel that takes dropped colours, a user list with a popup
// menu and reorderable rows, a scrollback that reports its links.

#include <Box.h>
#include <ListView.h>
#include <StringItem.h>
#include <TextView.h>

class BPopUpMenu;

namespace gallery {

// Takes a dropped colour ("RGBColor") as its own and its direct children's.
class ColorBox : public BBox
{
public:
    ColorBox(BRect frame, const char* name);
    void MessageReceived(BMessage* message) override;
};

// A row drawn in its own colour, grey when selected.
class ColoredRow : public BStringItem
{
public:
    ColoredRow(const char* text, rgb_color color);
};

// Secondary click: a popup menu of user commands; a selected row can be dragged to a new
// place.
class UserList : public BListView
{
public:
    UserList(BRect frame, const char* name);
    ~UserList() override;
    void MouseDown(BPoint where) override;
    bool InitiateDrag(BPoint point, int32 index, bool wasSelected) override;
    void MessageReceived(BMessage* message) override;

private:
    BPopUpMenu* fPopup;
};

// Keys that are not for scrolling go to the entry line, as 'Aftb'.
class Scrollback : public BTextView
{
public:
    Scrollback(BRect frame, const char* name);
    void KeyDown(const char* bytes, int32 numBytes) override;
};

} // namespace gallery
