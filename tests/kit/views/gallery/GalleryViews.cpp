#include "GalleryViews.h"

#include "GalleryWindow.h"

#include <Bitmap.h>
#include <Menu.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include <cstring>

namespace gallery {

ColorBox::ColorBox(BRect frame, const char* name)
    : BBox(frame, name, B_FOLLOW_ALL, B_WILL_DRAW | B_FRAME_EVENTS, B_FANCY_BORDER)
{
    SetLabel(name);
}

void ColorBox::MessageReceived(BMessage* message)
{
    const void* data = nullptr;
    ssize_t size = 0;
    if (message->FindData("RGBColor", B_RGB_COLOR_TYPE, &data, &size) == B_OK &&
        size == sizeof(rgb_color)) {
        rgb_color color;
        memcpy(&color, data, sizeof(color));
        SetViewColor(color);
        SetLowColor(color);
        for (int32 i = 0; i < CountChildren(); i++) {
            ChildAt(i)->SetViewColor(color);
            ChildAt(i)->SetLowColor(color);
            ChildAt(i)->Invalidate();
        }
        Invalidate();
    }
    BBox::MessageReceived(message);
}

ColoredRow::ColoredRow(const char* text, rgb_color color) : BStringItem(text)
{
    SetColors(color, {156, 156, 156, 255});
}

UserList::UserList(BRect frame, const char* name)
    : BListView(frame, name, B_MULTIPLE_SELECTION_LIST, B_FOLLOW_ALL)
{
    fPopup = new BPopUpMenu("options", false, false);
    fPopup->AddItem(new BMenuItem("Private Chat with User", new BMessage(kInvoke)));
    fPopup->AddItem(new BMenuItem("Whois user", new BMessage(kPopupWhois)));
}

UserList::~UserList()
{
    delete fPopup;
}

void UserList::MouseDown(BPoint where)
{
    int32 buttons = 0;
    Window()->CurrentMessage()->FindInt32("buttons", &buttons);
    if (buttons & B_SECONDARY_MOUSE_BUTTON) {
        int32 index = IndexOf(where);
        if (index >= 0)
            Select(index, true);
        fPopup->SetTargetForItems(Window());
        fPopup->Go(ConvertToScreen(where), true, false, ConvertToScreen(BRect(where, where)));
        return;
    }
    BListView::MouseDown(where);
}

bool UserList::InitiateDrag(BPoint, int32 index, bool wasSelected)
{
    if (!wasSelected)
        return false;
    BMessage message(kDragRow);
    message.AddInt32("index", index);
    auto* image = new BBitmap(BRect(0, 0, 31, 31), B_CMAP8);
    memset(image->Bits(), 20, static_cast<size_t>(image->BitsLength()));
    DragMessage(&message, image, B_OP_BLEND, BPoint(0, 0));
    return true;
}

void UserList::MessageReceived(BMessage* message)
{
    if (message->what == kDragRow && message->WasDropped()) {
        int32 from = -1;
        message->FindInt32("index", &from);
        int32 to = IndexOf(ConvertFromScreen(message->DropPoint()));
        if (to < 0)
            to = CountItems() - 1;
        MoveItem(from, to);
        Window()->PostMessage(message);
        return;
    }
    BListView::MessageReceived(message);
}

Scrollback::Scrollback(BRect frame, const char* name)
    : BTextView(frame, name, BRect(2, 2, frame.Width() - 2, frame.Height() - 2), B_FOLLOW_ALL,
                B_WILL_DRAW | B_FRAME_EVENTS)
{
}

void Scrollback::KeyDown(const char* bytes, int32 numBytes)
{
    unsigned char key = static_cast<unsigned char>(bytes[0]);
    if (key == B_PAGE_UP || key == B_PAGE_DOWN || (key >= B_LEFT_ARROW && key <= B_DOWN_ARROW)) {
        BTextView::KeyDown(bytes, numBytes);
        return;
    }
    BMessage missed('Aftb');
    missed.AddString("MissedChar", std::string(bytes, static_cast<size_t>(numBytes)).c_str());
    Window()->PostMessage(&missed);
}

} // namespace gallery
