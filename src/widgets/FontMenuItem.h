#pragma once

#include <Font.h>
#include <MenuItem.h>

class BMenu;

// A menu item for one font family and style that can show its label in that typeface. A
// style item is labelled with the style and sends a message with "family" and "style"; a
// family item is labelled with the family and opens the submenu of its styles.
//
// The display server draws the label: drawing in the item's own face is a property of the
// item, and only the family and style change, never the menu's size.
class FontMenuItem : public BMenuItem
{
public:
    FontMenuItem(const char* family, const char* style, bool drawInFont, uint32 what);
    // Its own message is never sent: choosing opens the submenu.
    FontMenuItem(BMenu* submenu, const char* family, const char* style, bool drawInFont);
    ~FontMenuItem() override;

    void FamilyAndStyle(font_family* family, font_style* style) const;
    // The label's size in the font it is shown in: the menu's font (the plain font outside a
    // menu), in the item's family and style when it draws in its font.
    void GetContentSize(float* width, float* height) const;

private:
    void Init(const char* family, const char* style);

    uint32 fWhat;
    font_family fFamily;
    font_style fStyle;
    bool fDrawInFont;
};
