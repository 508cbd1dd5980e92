#include "ScrollView.h"

#include "ViewPrivate.h"

#include <ScrollBar.h>

namespace change = kit_private::change;

namespace {

float BorderSize(border_style border)
{
    switch (border) {
    case B_FANCY_BORDER:
        return 2;
    case B_PLAIN_BORDER:
        return 1;
    default:
        return 0;
    }
}

BRect FrameAround(BView* target, bool horizontal, bool vertical, border_style border)
{
    BRect frame = target != nullptr ? target->Frame() : BRect(0, 0, 0, 0);
    float size = BorderSize(border);
    frame.InsetBy(-size, -size);
    if (vertical)
        frame.right += B_V_SCROLL_BAR_WIDTH;
    if (horizontal)
        frame.bottom += B_H_SCROLL_BAR_HEIGHT;
    return frame;
}

} // namespace

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
                         bool horizontal, bool vertical, border_style border)
    : BView(FrameAround(target, horizontal, vertical, border), name, resizingMode, flags),
      fTarget(target), fHorizontal(nullptr), fVertical(nullptr), fBorder(border)
{
    SetViewColor(B_PANEL_BACKGROUND);
    SetLowColor(B_PANEL_BACKGROUND);
    if (target == nullptr)
        return;
    float size = BorderSize(border);
    target->MoveTo(size, size);
    target->SetResizingMode(B_FOLLOW_ALL);
    AddChild(target);
    BRect inner = target->Frame();
    if (vertical) {
        BRect bar(inner.right + 1, inner.top, inner.right + B_V_SCROLL_BAR_WIDTH, inner.bottom);
        fVertical = new BScrollBar(bar, "_VSB_", target, 0, 0, B_VERTICAL);
        AddChild(fVertical);
    }
    if (horizontal) {
        BRect bar(inner.left, inner.bottom + 1, inner.right, inner.bottom + B_H_SCROLL_BAR_HEIGHT);
        fHorizontal = new BScrollBar(bar, "_HSB_", target, 0, 0, B_HORIZONTAL);
        AddChild(fHorizontal);
    }
}

BScrollView::~BScrollView() = default;

BScrollBar* BScrollView::ScrollBar(orientation direction) const
{
    return direction == B_VERTICAL ? fVertical : fHorizontal;
}

BView* BScrollView::Target() const
{
    return fTarget;
}

border_style BScrollView::Border() const
{
    return fBorder;
}

kit_private::ViewKind BScrollView::_Kind() const
{
    return kit_private::ViewKind::ScrollView;
}

void BScrollView::_EmitState()
{
    BView::_EmitState();
    _Push(change::BoxBorder{fBorder});
    _Push(change::ScrollViewParts{
        fTarget != nullptr ? kit_private::ViewAccess::Token(fTarget) : 0,
        fHorizontal != nullptr ? kit_private::ViewAccess::Token(fHorizontal) : 0,
        fVertical != nullptr ? kit_private::ViewAccess::Token(fVertical) : 0});
}
