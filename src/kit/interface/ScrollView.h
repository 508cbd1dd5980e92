#pragma once

// A frame around a target view with scroll bars along its right and bottom edges. The scroll
// view takes the target's place: its frame is the target's, grown by the border and the
// bars; the target moves inside it and follows its size.

#include <InterfaceDefs.h>
#include <View.h>

class BScrollBar;

class BScrollView : public BView
{
public:
    BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                uint32 flags = 0, bool horizontal = false, bool vertical = false,
                border_style border = B_FANCY_BORDER);
    virtual ~BScrollView();

    BScrollBar* ScrollBar(orientation direction) const; // nullptr when it has none
    BView* Target() const;
    border_style Border() const;

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;

private:
    BView* fTarget;
    BScrollBar* fHorizontal;
    BScrollBar* fVertical;
    border_style fBorder;
};
