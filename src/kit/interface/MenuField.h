#pragma once

// A label and a button that opens a menu. The button shows the label of MenuItem(), the
// item holding the menu: the menu's name, or the marked item's label when the menu takes
// its label from the marked item. Items chosen there work as in any menu.

#include <View.h>

#include <string>

class BMenu;
class BMenuItem;

class BMenuField : public BView
{
public:
    // Takes ownership of menu.
    BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
               uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
               uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    virtual ~BMenuField();

    BMenu* Menu() const;
    BMenuItem* MenuItem() const;
    void SetLabel(const char* label); // copied; nullptr: none
    const char* Label() const;
    virtual void SetDivider(float position);
    float Divider() const;
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;

    void AttachedToWindow() override;
    void DetachedFromWindow() override;
    void GetPreferredSize(float* width, float* height) override;

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;

private:
    class Owner;
    void _SendTree();

    BMenu* fMenu;
    BMenuItem* fMenuItem;
    Owner* fTreeOwner;
    std::string fLabel;
    bool fHasLabel;
    float fDivider;
    bool fEnabled;
};
