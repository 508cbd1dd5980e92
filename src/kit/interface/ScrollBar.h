#pragma once

// A scroll bar: a range, a value in it, and the proportion of the target that is visible.
//
// The bars of a scroll view around a text or list view are drawn by the target's own
// widget, which scrolls without waiting for the window; their Value() and GetRange() then
// report the position the display server saw last (for a text view: lines, with the
// maximum meaning "the end is shown").

#include <InterfaceDefs.h>
#include <View.h>

class BScrollBar : public BView
{
public:
    BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
               orientation direction);
    virtual ~BScrollBar();

    void SetValue(float value); // clamped to the range
    float Value() const;
    void SetRange(float min, float max);
    void GetRange(float* min, float* max) const;
    void SetProportion(float proportion); // 0 to 1
    float Proportion() const;
    void SetSteps(float smallStep, float largeStep);
    void GetSteps(float* smallStep, float* largeStep) const;
    void SetTarget(BView* target);
    BView* Target() const;
    orientation Orientation() const;

    // Called when the value changes (by the program or the user).
    virtual void ValueChanged(float newValue);

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;
    bool _ServerMessage(BMessage* message) override;

private:
    void _Send();
    bool _Reported(float* value, float* maximum) const;

    BView* fTarget;
    float fMin;
    float fMax;
    float fValue;
    float fProportion;
    float fSmallStep;
    float fLargeStep;
    orientation fOrientation;
};
