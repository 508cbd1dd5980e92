#pragma once

// A push button: pressing it (a click, or Enter while it is the window's default button)
// invokes its message.

#include <Control.h>

class BButton : public BControl
{
public:
    BButton(BRect frame, const char* name, const char* label, BMessage* message,
            uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
            uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    virtual ~BButton();

    // The default button is drawn as such and takes Enter (see BWindow::SetDefaultButton).
    virtual void MakeDefault(bool isDefault);
    bool IsDefault() const;

    void GetPreferredSize(float* width, float* height) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;
    bool _ServerMessage(BMessage* message) override;

private:
    friend class BWindow;
    void _SetDefaultState(bool isDefault);

    bool fIsDefault;
};
