// BView: how a view reaches the display server: its change stream, the state it sends when
// it joins a window, and the requests that go straight to the server (see View.h).

#include "ViewPrivate.h"

#include <Bitmap.h>
#include <Cursor.h>
#include <Messenger.h>

namespace change = kit_private::change;
using kit_private::ViewAccess;
using kit_private::ViewKind;

namespace kit_private {

int32 handler_token(const BHandler* handler)
{
    int32 looperId = 0;
    int32 token = 0;
    BMessenger(handler, nullptr).GetIds(&looperId, &token);
    return token;
}

int32 looper_id_of(const BWindow* window)
{
    int32 id = 0;
    int32 token = 0;
    BMessenger(nullptr, window).GetIds(&id, &token);
    return id;
}

std::shared_ptr<const Image> image_of(const BBitmap* bitmap)
{
    if (bitmap == nullptr || !bitmap->IsValid())
        return nullptr;
    auto image = std::make_shared<Image>();
    image->width = bitmap->Bounds().IntegerWidth() + 1;
    image->height = bitmap->Bounds().IntegerHeight() + 1;
    image->argb.reserve(static_cast<size_t>(image->width) * static_cast<size_t>(image->height));
    for (int32 y = 0; y < image->height; y++) {
        for (int32 x = 0; x < image->width; x++) {
            rgb_color c = bitmap->ColorAt(x, y);
            image->argb.push_back((uint32(c.alpha) << 24) | (uint32(c.red) << 16) |
                                  (uint32(c.green) << 8) | c.blue);
        }
    }
    return image;
}

} // namespace kit_private

kit_private::ChangeStream* BView::_Stream() const
{
    return fWindow != nullptr ? ViewAccess::Stream(fWindow) : nullptr;
}

ViewKind BView::_Kind() const
{
    return ViewKind::View;
}

void BView::_EmitTree()
{
    BView* parent = fParent;
    int32 parentToken = parent != nullptr ? parent->fToken : 0;
    BView* next = NextSibling();
    _Push(change::ViewAdd{parentToken, next != nullptr ? next->fToken : 0, _Kind(),
                          Name() != nullptr ? Name() : "", fFrame, fFlags, fShowLevel > 0});
    _EmitState();
    for (BView* child : fChildren)
        child->_EmitTree();
}

void BView::_EmitState()
{
    _Push(change::ViewColors{fViewColor, fLowColor, fHighColor});
    _Push(change::ViewFont{fFont});
    if (fCursor)
        _Push(change::ViewCursor{fCursor});
    if (fBitmap)
        _Push(change::ViewBitmap{fBitmap});
    if (!fFilteredKeys.empty())
        _Push(change::ViewFilteredKeys{fFilteredKeys});
}

bool BView::_ServerMessage(BMessage*)
{
    return false;
}

void BView::Invalidate()
{
    _Push(change::ViewInvalidate{});
}

void BView::Invalidate(BRect)
{
    Invalidate();
}

void BView::GetMouse(BPoint* location, uint32* buttons, bool)
{
    kit_private::MouseSnapshot mouse;
    if (kit_private::ChangeStream* stream = _Stream())
        mouse = stream->Mouse();
    if (location != nullptr) {
        // The snapshot is in window coordinates: come down the parent chain.
        BPoint point = mouse.where;
        std::vector<const BView*> chain;
        for (const BView* view = this; view != nullptr; view = view->fParent)
            chain.push_back(view);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            point = (*it)->ConvertFromParent(point);
        *location = point;
    }
    if (buttons != nullptr)
        *buttons = mouse.buttons;
}

void BView::DragMessage(BMessage* message, BBitmap* bitmap, drawing_mode, BPoint offset, BHandler*)
{
    _AssertLocked();
    if (message != nullptr)
        _Push(change::ViewDrag{*message, kit_private::image_of(bitmap), offset});
    delete bitmap;
}

void BView::DragMessage(BMessage* message, BRect dragRect, BHandler*)
{
    _AssertLocked();
    if (message == nullptr)
        return;
    // An outline of the rectangle stands in for a picture.
    auto image = std::make_shared<kit_private::Image>();
    image->width = std::max(1, dragRect.IntegerWidth() + 1);
    image->height = std::max(1, dragRect.IntegerHeight() + 1);
    image->argb.assign(static_cast<size_t>(image->width) * static_cast<size_t>(image->height), 0);
    for (int32 y = 0; y < image->height; y++) {
        for (int32 x = 0; x < image->width; x++) {
            if (x == 0 || y == 0 || x == image->width - 1 || y == image->height - 1)
                image->argb[static_cast<size_t>(y * image->width + x)] = 0xff000000;
        }
    }
    BPoint where;
    uint32 buttons;
    GetMouse(&where, &buttons);
    _Push(change::ViewDrag{*message, image, where - dragRect.LeftTop()});
}

void BView::SetViewCursor(const BCursor* cursor, bool)
{
    _AssertLocked();
    std::shared_ptr<const kit_private::CursorImage> image;
    if (cursor != nullptr && !cursor->IsSystemCursor()) {
        auto copy = std::make_shared<kit_private::CursorImage>();
        for (int32 y = 0; y < 16; y++) {
            copy->bits[y] = cursor->ImageRow(y);
            copy->mask[y] = cursor->MaskRow(y);
        }
        copy->hotX = cursor->HotX();
        copy->hotY = cursor->HotY();
        image = copy;
    }
    if (!image && !fCursor)
        return;
    fCursor = image;
    _Push(change::ViewCursor{fCursor});
}

void BView::SetViewBitmap(const BBitmap* bitmap)
{
    _AssertLocked();
    fBitmap = kit_private::image_of(bitmap);
    _Push(change::ViewBitmap{fBitmap});
}

void BView::ClearViewBitmap()
{
    SetViewBitmap(nullptr);
}

void BView::AddFilteredKey(uint32 byte, uint32 modifiers)
{
    _AssertLocked();
    fFilteredKeys.push_back({byte, modifiers});
    _Push(change::ViewFilteredKeys{fFilteredKeys});
}
