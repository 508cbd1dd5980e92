#include "Button.h"

#include "ViewMessages.h"
#include "ViewPrivate.h"

#include <Window.h>

#include <algorithm>
#include <cmath>

namespace change = kit_private::change;

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
                 uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags), fIsDefault(false)
{
}

BButton::~BButton() = default;

void BButton::MakeDefault(bool isDefault)
{
    _AssertLocked();
    if (Window() == nullptr) {
        _SetDefaultState(isDefault);
        return;
    }
    if (isDefault)
        Window()->SetDefaultButton(this);
    else if (Window()->DefaultButton() == this)
        Window()->SetDefaultButton(nullptr);
}

bool BButton::IsDefault() const
{
    return fIsDefault;
}

void BButton::_SetDefaultState(bool isDefault)
{
    if (isDefault == fIsDefault)
        return;
    fIsDefault = isDefault;
    _Push(change::ControlDefault{fIsDefault});
}

void BButton::GetPreferredSize(float* width, float* height)
{
    font_height metrics;
    GetFontHeight(&metrics);
    float labelWidth = Label() != nullptr ? StringWidth(Label()) : 0;
    if (width != nullptr)
        *width = std::max(75.0f, std::ceil(labelWidth + 20));
    if (height != nullptr)
        *height = std::ceil(metrics.ascent + metrics.descent + metrics.leading + 12);
}

void BButton::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes > 0 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
        if (IsEnabled())
            Invoke();
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}

kit_private::ViewKind BButton::_Kind() const
{
    return kit_private::ViewKind::Button;
}

void BButton::_EmitState()
{
    BControl::_EmitState();
    _Push(change::ControlDefault{fIsDefault});
}

bool BButton::_ServerMessage(BMessage* message)
{
    if (message->what != kit_private::kMsgControlInvoked)
        return false;
    if (IsEnabled())
        Invoke();
    return true;
}
