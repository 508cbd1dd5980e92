// BListView: clicks, drags and keys (see ListView.h).

#include "ListView.h"

#include "ViewPrivate.h"

#include <Message.h>
#include <Window.h>

#include <cmath>

void BListView::MouseDown(BPoint where)
{
    int32 clicks = 1;
    uint32 held = modifiers();
    if (BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr)
        current->FindInt32("clicks", &clicks);
    MakeFocus(true);

    int32 index = IndexOf(where);
    fTracking = false;
    if (index < 0)
        return;
    bool wasSelected = IsItemSelected(index);
    if (clicks >= 2) {
        // A double click invokes the row, selecting it first if the first click did not.
        if (!wasSelected)
            Select(index, fType == B_MULTIPLE_SELECTION_LIST && (held & B_COMMAND_KEY));
        fLastClicked = index;
        Invoke();
        return;
    }
    fLastClicked = index;

    if (fType == B_MULTIPLE_SELECTION_LIST && (held & B_SHIFT_KEY) && fAnchor >= 0) {
        int32 anchor = fAnchor;
        Select(std::min(anchor, index), std::max(anchor, index), false);
        fAnchor = anchor;
    } else if (fType == B_MULTIPLE_SELECTION_LIST && (held & B_COMMAND_KEY)) {
        if (wasSelected)
            Deselect(index);
        else
            Select(index, true);
    } else {
        Select(index, false);
    }

    fTracking = true;
    fTrackWhere = where;
    fTrackIndex = index;
    fTrackWasSelected = wasSelected;
}

void BListView::MouseUp(BPoint)
{
    fTracking = false;
}

void BListView::MouseMoved(BPoint where, uint32, const BMessage*)
{
    if (!fTracking)
        return;
    int32 buttons = 0;
    if (BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr)
        current->FindInt32("buttons", &buttons);
    if (buttons == 0) {
        fTracking = false;
        return;
    }
    // A few pixels of movement with the button held make a drag.
    if (std::fabs(where.x - fTrackWhere.x) + std::fabs(where.y - fTrackWhere.y) < 4)
        return;
    fTracking = false;
    InitiateDrag(fTrackWhere, fTrackIndex, fTrackWasSelected);
}

bool BListView::InitiateDrag(BPoint, int32, bool)
{
    return false;
}

void BListView::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes <= 0)
        return;
    int32 current = CurrentSelection(0);
    switch (static_cast<unsigned char>(bytes[0])) {
    case B_UP_ARROW:
        if (current > 0 || (current < 0 && CountItems() > 0))
            Select(current > 0 ? current - 1 : 0);
        ScrollToSelection();
        return;
    case B_DOWN_ARROW:
        if (current + 1 < CountItems())
            Select(current + 1);
        ScrollToSelection();
        return;
    case B_HOME:
        if (CountItems() > 0)
            Select(0);
        ScrollToSelection();
        return;
    case B_END:
        if (CountItems() > 0)
            Select(CountItems() - 1);
        ScrollToSelection();
        return;
    case B_ENTER:
    case B_SPACE:
        Invoke();
        return;
    default:
        BView::KeyDown(bytes, numBytes);
        return;
    }
}
