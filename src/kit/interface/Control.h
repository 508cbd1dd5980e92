#pragma once

// A view the user operates, which sends its message (BInvoker) to its target when used:
// buttons, check boxes, text controls. A control without a target when it joins a window
// targets the window.

#include <Invoker.h>
#include <View.h>

#include <string>

enum
{
    B_CONTROL_OFF = 0,
    B_CONTROL_ON = 1,
};

class BControl : public BView, public BInvoker
{
public:
    // Takes ownership of message.
    BControl(BRect frame, const char* name, const char* label, BMessage* message,
             uint32 resizingMode, uint32 flags);
    virtual ~BControl();

    // Label (copied)
    virtual void SetLabel(const char* label);
    const char* Label() const;

    // Value (B_CONTROL_OFF, B_CONTROL_ON, or any number a subclass gives it)
    virtual void SetValue(int32 value);
    int32 Value() const;

    // A disabled control ignores the user.
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;

    // Posts a copy of the message with "when" (int64) and "source" (pointer) added.
    status_t Invoke(BMessage* message = nullptr) override;

    void AttachedToWindow() override;

protected:
    void _EmitState() override;

private:
    std::string fLabel;
    bool fHasLabel;
    int32 fValue;
    bool fEnabled;
};
