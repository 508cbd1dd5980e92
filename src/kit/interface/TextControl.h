#pragma once

// A labelled one-line text field. The label sits left of the divider, the text view (the
// display server's native line editor) right of it. Enter in the field invokes the
// control's message; without one, Enter goes to the window's default button.
//
// Typing happens in the native editor; each change comes back into TextView(), so Text()
// is current on the window thread. Message filters added to TextView() see every key
// (B_KEY_DOWN) before the view does; keys declared with TextView()->AddFilteredKey are
// withheld from the native editor, so only the filter (or the view) acts on them.

#include <Control.h>

class BTextView;

class BTextControl : public BControl
{
public:
    BTextControl(BRect frame, const char* name, const char* label, const char* initialText,
                 BMessage* message, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                 uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    virtual ~BTextControl();

    // Text (copied)
    virtual void SetText(const char* text);
    const char* Text() const;
    BTextView* TextView() const;

    // The label column's width.
    virtual void SetDivider(float position);
    float Divider() const;

    void SetEnabled(bool enabled) override;
    void MakeFocus(bool focus = true) override;
    void GetPreferredSize(float* width, float* height) override;

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;

private:
    class TextInput;
    friend class TextInput;
    void _LayoutText();
    void _EnterPressed();

    TextInput* fText;
    float fDivider;
};
