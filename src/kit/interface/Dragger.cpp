#include "Dragger.h"

#include "ViewPrivate.h"

BDragger::BDragger(BRect frame, BView* target, uint32 resizingMode, uint32 flags)
    : BView(frame, "_dragger_", resizingMode, flags), fTarget(target)
{
    SetViewColor(B_PANEL_BACKGROUND);
}

BDragger::~BDragger() = default;

BView* BDragger::Target() const
{
    return fTarget;
}

kit_private::ViewKind BDragger::_Kind() const
{
    return kit_private::ViewKind::Dragger;
}
