#pragma once

#include <Font.h>
#include <Menu.h>

class BMenuItem;
class BMessage;

// A menu of the installed font families, in case-insensitive order, each opening a submenu
// of its styles in the order the system reports them. Choosing a style sends the code given
// to SetMessage with the strings mk_msg_fam and mk_msg_stl to the menu's window (or the
// items' target). The owner marks its current font with SetFamilyAndStyle.
//
// Family items are drawn in their own typeface; style items too when asked. Used on the
// thread of the window whose menu bar holds it.
class FontMenu : public BMenu
{
public:
    static constexpr const char* mk_msg_fam = "family";
    static constexpr const char* mk_msg_stl = "style";

    explicit FontMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
    FontMenu(const char* name, float width, float height);
    ~FontMenu() override;

    void MessageReceived(BMessage* message) override;

    // The code of the style items made from now on; call it before Initialize.
    void SetMessage(uint32 what);
    // Replaces every item of the menu with the families installed now and marks the plain
    // font. B_NO_INIT (and nothing done) before SetMessage; the second flag has no effect.
    virtual status_t Initialize(bool drawStylesInFont, bool = false);

    // Marks that family's item and that style in its submenu, after clearing every mark; an
    // unknown name marks nothing further. A missing family or style clears the choice.
    void SetFamilyAndStyle(const char* family, const char* style);
    void SetFamilyAndStyle(const BMessage* message);
    void FamilyAndStyle(font_family* family, font_style* style) const;

    // Case-insensitive order of the items' labels.
    static int MenuItemComp(const BMenuItem* const* first, const BMenuItem* const* second);

private:
    void Init();
    BMenuItem* ConstructFamilyMenuItem(const char* family, bool drawStylesInFont);

    uint32 fWhat;
    font_family fFamily;
    font_style fStyle;
};
