#include "MoveableScrollView.h"

#include <Cursor.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Window.h>

namespace {

// A left-right double arrow with a double bar in the middle; hot spot (7, 7).
const unsigned char kResizeCursorData[68] = {
    16, 1, 7, 7,
    // image
    0x00, 0x00, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x12, 0x48, 0x32, 0x4C, 0x72, 0x4E, 0xFE, 0x7F,
    0x72, 0x4E, 0x32, 0x4C, 0x12, 0x48, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x00, 0x00, 0x00, 0x00,
    // mask
    0x00, 0x00, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x12, 0x48, 0x32, 0x4C, 0x72, 0x4E, 0xFE, 0x7F,
    0x72, 0x4E, 0x32, 0x4C, 0x12, 0x48, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x00, 0x00, 0x00, 0x00};

// The strip over the scroll view's left edge: it carries the cursor and hands the mouse to
// the scroll view in the scroll view's coordinates.
class EdgeView : public BView
{
public:
    explicit EdgeView(BRect frame) : BView(frame, "fEdge", B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM, 0)
    {
        // A little darker than the panel, so the grip can be seen.
        SetViewColor(184, 184, 184);
    }

    void MouseDown(BPoint where) override { Parent()->MouseDown(ConvertToParent(where)); }
    void MouseUp(BPoint where) override { Parent()->MouseUp(ConvertToParent(where)); }
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override
    {
        Parent()->MouseMoved(ConvertToParent(where), transit, dragMessage);
    }
};

int32 Buttons(BWindow* window)
{
    int32 buttons = 0;
    if (window != nullptr && window->CurrentMessage() != nullptr)
        window->CurrentMessage()->FindInt32("buttons", &buttons);
    return buttons;
}

} // namespace

MoveableScrollView::MoveableScrollView(const char* name, BView* target, uint32 resizingMode,
                                       uint32 flags, bool horizontal, bool vertical,
                                       border_style border)
    : BScrollView(name, target, resizingMode, flags, horizontal, vertical, border),
      fCursorState(kNormalCursor), fActive(false), fDragging(false), fGrabOffset(0)
{
    const BRect bounds = Bounds();
    fEdge = new EdgeView(BRect(0, 0, kEdgeWidth, bounds.bottom));
    // Over the target, so the edge takes the pointer first.
    AddChild(fEdge);
}

MoveableScrollView::~MoveableScrollView() = default;

void MoveableScrollView::AttachedToWindow()
{
    BScrollView::AttachedToWindow();
    fBounds = Bounds();
    fFrame = Frame();
    ShowCursor(fActive ? kResizeCursor : kNormalCursor);
}

void MoveableScrollView::WindowActivated(bool active)
{
    fActive = active;
    if (!active && fDragging)
        EndDrag();
    // An inactive window leaves the pointer alone.
    ShowCursor(active ? kResizeCursor : kNormalCursor);
}

void MoveableScrollView::SetMovedHook(MovedHook hook)
{
    fMoved = std::move(hook);
}

void MoveableScrollView::MouseDown(BPoint where)
{
    fBounds = Bounds();
    if (where.x < fBounds.left - kEdgeWidth || where.x > fBounds.left + kEdgeWidth)
        return;
    if ((Buttons(Window()) &
         (B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON | B_TERTIARY_MOUSE_BUTTON)) == 0)
        return;
    fFrame = Frame();
    fGrabOffset = where.x - fBounds.left;
    fDragging = true;
}

void MoveableScrollView::MouseMoved(BPoint where, uint32, const BMessage*)
{
    if (!fDragging)
        return;
    // A release the window never saw ends the drag here.
    if (Buttons(Window()) == 0) {
        EndDrag();
        return;
    }
    DragTo(ScreenWhere(where));
}

void MoveableScrollView::MouseUp(BPoint where)
{
    if (!fDragging)
        return;
    DragTo(ScreenWhere(where));
    EndDrag();
}

BPoint MoveableScrollView::ScreenWhere(BPoint where) const
{
    // The display server may not have moved the view yet when it measured "where"; the
    // screen position does not depend on where the view was.
    BPoint screen;
    if (Window() != nullptr && Window()->CurrentMessage() != nullptr &&
        Window()->CurrentMessage()->FindPoint("screen_where", &screen) == B_OK)
        return screen;
    return ConvertToScreen(where);
}

void MoveableScrollView::DragTo(BPoint screenWhere)
{
    const BPoint inParent = ConvertToParent(ConvertFromScreen(screenWhere));
    float x = inParent.x - fGrabOffset;
    if (fFrame.right < x + kMinWidth)
        x = fFrame.right - kMinWidth;
    if (x < fMinLeft)
        x = fMinLeft;
    const BRect oldFrame = Frame();
    if (x == oldFrame.left)
        return;
    MoveTo(x, fFrame.top);
    ResizeTo(fFrame.right - x, oldFrame.Height());
    fFrame = Frame();
    fBounds = Bounds();
    if (fMoved)
        fMoved(oldFrame);
}

void MoveableScrollView::EndDrag()
{
    fDragging = false;
}

void MoveableScrollView::ShowCursor(uint32 state)
{
    if (state == fCursorState)
        return;
    fCursorState = state;
    if (state == kResizeCursor) {
        BCursor cursor(kResizeCursorData);
        fEdge->SetViewCursor(&cursor);
    } else {
        fEdge->SetViewCursor(nullptr);
    }
}
