#pragma once

// The small handle in a corner of a view that, on its original platform, lets the user drag
// the view out as a replicant. Here it is drawn as the handle and shows its target; there
// are no replicants to drag out to, so a press on it does nothing.

#include <View.h>

class BDragger : public BView
{
public:
    BDragger(BRect frame, BView* target, uint32 resizingMode = B_FOLLOW_NONE,
             uint32 flags = B_WILL_DRAW);
    virtual ~BDragger();

    BView* Target() const;

protected:
    kit_private::ViewKind _Kind() const override;

private:
    BView* fTarget;
};
