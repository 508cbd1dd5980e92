#pragma once

// The bar of menus along a window's top. The first menu bar added to a window is its key
// menu bar, whose Command-key shortcuts the window handles.

#include <Menu.h>

class BMenuBar : public BMenu
{
public:
    BMenuBar(BRect frame, const char* name,
             uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
             menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
    virtual ~BMenuBar();

    void AttachedToWindow() override;
    void DetachedFromWindow() override;
    // As wide as its titles, one menu line high.
    void GetPreferredSize(float* width, float* height) override;

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;

private:
    class Owner;
    Owner* fTreeOwner;
    bool fResizeToFit;
};
