#pragma once

// A check box: clicking it toggles its value between B_CONTROL_OFF and B_CONTROL_ON and
// then invokes its message.

#include <Control.h>

class BCheckBox : public BControl
{
public:
    BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
              uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    virtual ~BCheckBox();

    void GetPreferredSize(float* width, float* height) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

protected:
    kit_private::ViewKind _Kind() const override;
    bool _ServerMessage(BMessage* message) override;
};
