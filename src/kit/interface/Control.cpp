#include "Control.h"

#include "ViewPrivate.h"

#include <Message.h>
#include <OS.h>
#include <Window.h>

namespace change = kit_private::change;

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
                   uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), BInvoker(message, nullptr, nullptr),
      fLabel(label != nullptr ? label : ""), fHasLabel(label != nullptr), fValue(B_CONTROL_OFF),
      fEnabled(true)
{
    SetViewColor(B_PANEL_BACKGROUND);
    SetLowColor(B_PANEL_BACKGROUND);
}

BControl::~BControl() = default;

void BControl::SetLabel(const char* label)
{
    _AssertLocked();
    std::string text = label != nullptr ? label : "";
    if (text == fLabel && fHasLabel == (label != nullptr))
        return;
    fLabel = text;
    fHasLabel = label != nullptr;
    _Push(change::ControlLabel{fLabel});
}

const char* BControl::Label() const
{
    return fHasLabel ? fLabel.c_str() : nullptr;
}

void BControl::SetValue(int32 value)
{
    _AssertLocked();
    if (value == fValue)
        return;
    fValue = value;
    _Push(change::ControlValue{fValue});
}

int32 BControl::Value() const
{
    return fValue;
}

void BControl::SetEnabled(bool enabled)
{
    _AssertLocked();
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    _Push(change::ControlEnabled{fEnabled});
}

bool BControl::IsEnabled() const
{
    return fEnabled;
}

status_t BControl::Invoke(BMessage* message)
{
    BMessage* source = message != nullptr ? message : Message();
    if (source == nullptr)
        return B_BAD_VALUE;
    BMessage copy(*source);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", static_cast<BView*>(this));
    return BInvoker::Invoke(&copy);
}

void BControl::AttachedToWindow()
{
    if (!Messenger().IsValid())
        SetTarget(Window());
    BView::AttachedToWindow();
}

void BControl::_EmitState()
{
    BView::_EmitState();
    _Push(change::ControlLabel{fLabel});
    _Push(change::ControlValue{fValue});
    _Push(change::ControlEnabled{fEnabled});
}
