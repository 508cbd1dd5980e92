#include "ScrollBar.h"

#include "ViewMessages.h"
#include "ViewPrivate.h"

#include <algorithm>

namespace change = kit_private::change;

BScrollBar::BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
                       orientation direction)
    : BView(frame, name,
            direction == B_VERTICAL ? B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT
                                    : B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM,
            B_WILL_DRAW | B_FRAME_EVENTS),
      fTarget(target), fMin(min), fMax(std::max(min, max)), fValue(min), fProportion(0),
      fSmallStep(1), fLargeStep(10), fOrientation(direction)
{
}

BScrollBar::~BScrollBar() = default;

bool BScrollBar::_Reported(float* value, float* maximum) const
{
    kit_private::ChangeStream* stream = _Stream();
    return stream != nullptr && stream->GetScroll(_Token(), value, maximum);
}

void BScrollBar::SetValue(float value)
{
    _AssertLocked();
    value = std::clamp(value, fMin, fMax);
    if (value == fValue)
        return;
    fValue = value;
    _Send();
    ValueChanged(fValue);
}

float BScrollBar::Value() const
{
    float value;
    float maximum;
    if (_Reported(&value, &maximum))
        return value;
    return fValue;
}

void BScrollBar::SetRange(float min, float max)
{
    _AssertLocked();
    fMin = min;
    fMax = std::max(min, max);
    float clamped = std::clamp(fValue, fMin, fMax);
    bool changed = clamped != fValue;
    fValue = clamped;
    _Send();
    if (changed)
        ValueChanged(fValue);
}

void BScrollBar::GetRange(float* min, float* max) const
{
    float value;
    float maximum;
    bool reported = _Reported(&value, &maximum);
    if (min != nullptr)
        *min = reported ? 0 : fMin;
    if (max != nullptr)
        *max = reported ? maximum : fMax;
}

void BScrollBar::SetProportion(float proportion)
{
    _AssertLocked();
    fProportion = std::clamp(proportion, 0.0f, 1.0f);
    _Send();
}

float BScrollBar::Proportion() const
{
    return fProportion;
}

void BScrollBar::SetSteps(float smallStep, float largeStep)
{
    fSmallStep = smallStep;
    fLargeStep = largeStep;
}

void BScrollBar::GetSteps(float* smallStep, float* largeStep) const
{
    if (smallStep != nullptr)
        *smallStep = fSmallStep;
    if (largeStep != nullptr)
        *largeStep = fLargeStep;
}

void BScrollBar::SetTarget(BView* target)
{
    fTarget = target;
}

BView* BScrollBar::Target() const
{
    return fTarget;
}

orientation BScrollBar::Orientation() const
{
    return fOrientation;
}

void BScrollBar::ValueChanged(float) {}

void BScrollBar::_Send()
{
    _Push(
        change::ScrollBarState{fMin, fMax, fValue, fProportion, static_cast<int32>(fOrientation)});
}

kit_private::ViewKind BScrollBar::_Kind() const
{
    return kit_private::ViewKind::ScrollBar;
}

void BScrollBar::_EmitState()
{
    BView::_EmitState();
    _Send();
}

bool BScrollBar::_ServerMessage(BMessage* message)
{
    if (message->what != kit_private::kMsgScrollBarMoved)
        return false;
    float value;
    if (message->FindFloat(kit_private::kFieldValue, &value) == B_OK) {
        value = std::clamp(value, fMin, fMax);
        if (value != fValue) {
            fValue = value;
            ValueChanged(fValue);
        }
    }
    return true;
}
