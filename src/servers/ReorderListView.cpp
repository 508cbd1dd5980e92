#include "ReorderListView.h"

#include "ServerMessages.h"

#include <AppIcon.h>

#include <Bitmap.h>
#include <Message.h>

ReorderListView::ReorderListView(BRect frame, const char* name, list_view_type type,
                                 uint32 resizingMode, uint32 flags)
    : BListView(frame, name, type, resizingMode, flags), fDragging(false)
{
}

ReorderListView::~ReorderListView()
{
    while (BListItem* item = RemoveItem(CountItems() - 1))
        delete item;
}

void ReorderListView::MessageReceived(BMessage* message)
{
    if (message->what == MSG_ITEM_DRAGGED) {
        fDragging = false;
        MoveDropped(message);
        return;
    }
    BListView::MessageReceived(message);
}

void ReorderListView::MoveDropped(BMessage* message)
{
    int32 from = -1;
    // A drag message that was not dropped has no place to go to.
    if (message->FindInt32("index", &from) != B_OK || !message->WasDropped())
        return;
    BPoint where = ConvertFromScreen(message->DropPoint());
    int32 to = IndexOf(where);
    if (to < 0)
        to = CountItems() - 1;
    if (MoveItem(from, to))
        Select(to);
}

void ReorderListView::MouseDown(BPoint where)
{
    BListView::MouseDown(where);
}

void ReorderListView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (dragMessage != nullptr) {
        // The selection follows the pointer, so the details show the row it is over.
        if (dragMessage->what == MSG_ITEM_DRAGGED) {
            int32 index = IndexOf(where);
            if (index >= 0) {
                Select(index);
                ScrollToSelection();
            }
        }
        return;
    }
    // The list starts its drags from moves with the button held.
    BListView::MouseMoved(where, transit, dragMessage);
}

bool ReorderListView::InitiateDrag(BPoint, int32 index, bool wasSelected)
{
    if (!wasSelected)
        return false;
    auto* icon = new BBitmap(BRect(0, 0, 31, 31), B_CMAP8);
    GetAppIcon(icon);
    BMessage drag(MSG_ITEM_DRAGGED);
    drag.AddInt32("index", index);
    fDragging = true;
    DragMessage(&drag, icon, B_OP_BLEND, BPoint(0, 0)); // takes the bitmap
    return true;
}
