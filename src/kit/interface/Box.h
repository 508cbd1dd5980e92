#pragma once

// A panel with a border and an optional label in its top edge; its children sit inside.

#include <View.h>

#include <string>

class BBox : public BView
{
public:
    BBox(BRect frame, const char* name = nullptr,
         uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
         uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
         border_style border = B_FANCY_BORDER);
    // From an archive made by Archive: name, frame, resizing mode, flags, border, label.
    explicit BBox(BMessage* archive);
    virtual ~BBox();

    // Adds "_frame", "_resize_mode", "_flags", "_border" and "_label" to BHandler's fields.
    // The box's children are not archived.
    status_t Archive(BMessage* into, bool deep = true) const override;

    virtual void SetBorder(border_style border);
    border_style Border() const;
    // nullptr: no label.
    void SetLabel(const char* label);
    const char* Label() const;

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;

private:
    border_style fBorder;
    std::string fLabel;
    bool fHasLabel;
};
