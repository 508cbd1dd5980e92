#include "TextControl.h"

#include "ViewPrivate.h"

#include <Button.h>
#include <TextView.h>
#include <Window.h>

#include <cmath>

namespace change = kit_private::change;

// The field's text view: one line, no styles; Enter belongs to the control.
class BTextControl::TextInput : public BTextView
{
public:
    TextInput(BTextControl* owner, BRect frame)
        : BTextView(frame, "_input_", BRect(0, 0, frame.Width(), frame.Height()), B_FOLLOW_ALL,
                    B_WILL_DRAW | B_NAVIGABLE),
          fOwner(owner)
    {
    }

    void KeyDown(const char* bytes, int32 numBytes) override
    {
        if (numBytes > 0 && (bytes[0] == B_ENTER || bytes[0] == B_TAB)) {
            if (bytes[0] == B_ENTER)
                fOwner->_EnterPressed();
            return;
        }
        BTextView::KeyDown(bytes, numBytes);
    }

private:
    BTextControl* fOwner;
};

BTextControl::BTextControl(BRect frame, const char* name, const char* label,
                           const char* initialText, BMessage* message, uint32 resizingMode,
                           uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags), fText(nullptr), fDivider(0)
{
    if (label != nullptr && label[0] != '\0')
        fDivider = std::floor(frame.Width() / 2);
    fText = new TextInput(this, BRect(fDivider, 0, frame.Width(), frame.Height()));
    fText->SetText(initialText != nullptr ? initialText : "");
    AddChild(fText);
}

BTextControl::~BTextControl() = default;

void BTextControl::SetText(const char* text)
{
    fText->SetText(text != nullptr ? text : "");
}

const char* BTextControl::Text() const
{
    return fText->Text();
}

BTextView* BTextControl::TextView() const
{
    return fText;
}

void BTextControl::SetDivider(float position)
{
    _AssertLocked();
    fDivider = std::floor(std::max(0.0f, position));
    _Push(change::ControlDivider{fDivider});
    _LayoutText();
}

float BTextControl::Divider() const
{
    return fDivider;
}

void BTextControl::SetEnabled(bool enabled)
{
    BControl::SetEnabled(enabled);
    fText->MakeEditable(enabled);
}

void BTextControl::MakeFocus(bool focus)
{
    // The field's focus is its text view's.
    fText->MakeFocus(focus);
}

void BTextControl::GetPreferredSize(float* width, float* height)
{
    font_height metrics;
    GetFontHeight(&metrics);
    if (width != nullptr)
        *width = Bounds().Width();
    if (height != nullptr)
        *height = std::ceil(metrics.ascent + metrics.descent + metrics.leading + 10);
}

void BTextControl::_LayoutText()
{
    BRect bounds = Bounds();
    fText->MoveTo(fDivider, 0);
    fText->ResizeTo(std::max(0.0f, bounds.Width() - fDivider), bounds.Height());
}

void BTextControl::_EnterPressed()
{
    if (Message() != nullptr) {
        if (IsEnabled())
            Invoke();
        return;
    }
    if (Window() != nullptr) {
        if (BButton* button = Window()->DefaultButton()) {
            if (button->IsEnabled())
                button->Invoke();
        }
    }
}

kit_private::ViewKind BTextControl::_Kind() const
{
    return kit_private::ViewKind::TextControl;
}

void BTextControl::_EmitState()
{
    BControl::_EmitState();
    _Push(change::ControlDivider{fDivider});
}
