#include "CheckBox.h"

#include "ViewMessages.h"
#include "ViewPrivate.h"

#include <cmath>

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
                     uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags)
{
}

BCheckBox::~BCheckBox() = default;

void BCheckBox::GetPreferredSize(float* width, float* height)
{
    font_height metrics;
    GetFontHeight(&metrics);
    float box = std::ceil(metrics.ascent + metrics.descent);
    if (width != nullptr)
        *width = std::ceil(box + 8 + (Label() != nullptr ? StringWidth(Label()) : 0));
    if (height != nullptr)
        *height = std::ceil(metrics.ascent + metrics.descent + metrics.leading + 6);
}

void BCheckBox::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes > 0 && bytes[0] == B_SPACE) {
        if (IsEnabled()) {
            SetValue(Value() == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
            Invoke();
        }
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}

kit_private::ViewKind BCheckBox::_Kind() const
{
    return kit_private::ViewKind::CheckBox;
}

bool BCheckBox::_ServerMessage(BMessage* message)
{
    if (message->what != kit_private::kMsgControlInvoked)
        return false;
    if (!IsEnabled())
        return true;
    // The native box already shows the new value; take it over and tell the target.
    int32 value;
    if (message->FindInt32(kit_private::kFieldValue, &value) != B_OK)
        value = Value() == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF;
    SetValue(value);
    Invoke();
    return true;
}
