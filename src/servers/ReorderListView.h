#pragma once

#include <ListView.h>

// A list whose selected rows the user drags to a new place. A drag carries 'Aitd' with the
// row's "index"; while it is over the list, the row under the pointer is selected; dropped
// on a row, the dragged row moves there, dropped below the rows, to the end.
//
// The list owns its rows: they are deleted with it.
class ReorderListView : public BListView
{
public:
    ReorderListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
                    uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                    uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    ~ReorderListView() override;

    void MessageReceived(BMessage* message) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    // Only a row that was selected before the press is dragged.
    bool InitiateDrag(BPoint point, int32 index, bool wasSelected) override;

    bool IsDragging() const { return fDragging; }

private:
    void MoveDropped(BMessage* message);

    bool fDragging; // one of our own drags is under way
};
