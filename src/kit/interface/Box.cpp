#include "Box.h"

#include "ViewPrivate.h"

namespace change = kit_private::change;

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags, border_style border)
    : BView(frame, name, resizingMode, flags), fBorder(border), fHasLabel(false)
{
    SetViewColor(B_PANEL_BACKGROUND);
    SetLowColor(B_PANEL_BACKGROUND);
}

BBox::~BBox() = default;

void BBox::SetBorder(border_style border)
{
    _AssertLocked();
    if (border == fBorder)
        return;
    fBorder = border;
    _Push(change::BoxBorder{fBorder});
}

border_style BBox::Border() const
{
    return fBorder;
}

void BBox::SetLabel(const char* label)
{
    _AssertLocked();
    fHasLabel = label != nullptr;
    fLabel = label != nullptr ? label : "";
    _Push(change::ControlLabel{fLabel});
}

const char* BBox::Label() const
{
    return fHasLabel ? fLabel.c_str() : nullptr;
}

kit_private::ViewKind BBox::_Kind() const
{
    return kit_private::ViewKind::Box;
}

void BBox::_EmitState()
{
    BView::_EmitState();
    _Push(change::BoxBorder{fBorder});
    _Push(change::ControlLabel{fLabel});
}
