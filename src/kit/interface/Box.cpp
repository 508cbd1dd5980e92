#include "Box.h"

#include "ViewPrivate.h"

#include <Message.h>

namespace change = kit_private::change;

namespace {

BRect ArchivedFrame(const BMessage* archive)
{
    BRect frame(0, 0, 0, 0);
    if (archive != nullptr)
        archive->FindRect("_frame", &frame);
    return frame;
}

const char* ArchivedString(const BMessage* archive, const char* field)
{
    const char* value = nullptr;
    if (archive == nullptr || archive->FindString(field, &value) != B_OK)
        return nullptr;
    return value;
}

uint32 ArchivedInt(const BMessage* archive, const char* field, uint32 fallback)
{
    int32 value;
    if (archive == nullptr || archive->FindInt32(field, &value) != B_OK)
        return fallback;
    return static_cast<uint32>(value);
}

} // namespace

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags, border_style border)
    : BView(frame, name, resizingMode, flags), fBorder(border), fHasLabel(false)
{
    SetViewColor(B_PANEL_BACKGROUND);
    SetLowColor(B_PANEL_BACKGROUND);
}

BBox::BBox(BMessage* archive)
    : BBox(ArchivedFrame(archive), ArchivedString(archive, "_name"),
           ArchivedInt(archive, "_resize_mode", B_FOLLOW_LEFT | B_FOLLOW_TOP),
           ArchivedInt(archive, "_flags", B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP),
           static_cast<border_style>(ArchivedInt(archive, "_border", B_FANCY_BORDER)))
{
    if (const char* label = ArchivedString(archive, "_label"))
        SetLabel(label);
}

BBox::~BBox() = default;

status_t BBox::Archive(BMessage* into, bool deep) const
{
    status_t status = BView::Archive(into, deep);
    if (status == B_OK)
        status = into->AddRect("_frame", Frame());
    if (status == B_OK)
        status = into->AddInt32("_resize_mode", static_cast<int32>(ResizingMode()));
    if (status == B_OK)
        status = into->AddInt32("_flags", static_cast<int32>(Flags()));
    if (status == B_OK)
        status = into->AddInt32("_border", static_cast<int32>(fBorder));
    if (status == B_OK && fHasLabel)
        status = into->AddString("_label", fLabel.c_str());
    return status;
}

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
