#pragma once

// A menu: a list of items (BMenuItem), some opening submenus. Menus are models; the display
// server shows the tree of a menu bar, a menu field or a popup menu whenever it changes.
//
// Choosing an item (a click, or its Command-key shortcut in the window) happens on the
// window's thread: in a radio-mode menu the item becomes the marked one, and the item's
// message goes to its target (by default the window holding the menu).
//
// A menu owns its items; deleting a menu deletes them and their submenus.

#include <Font.h>
#include <GraphicsDefs.h>
#include <View.h>

#include <vector>

class BMenuItem;
class BMessenger;

namespace kit_private {
class MenuOwner;
}

enum menu_layout
{
    B_ITEMS_IN_ROW = 0,
    B_ITEMS_IN_COLUMN,
    B_ITEMS_IN_MATRIX,
};

struct menu_info
{
    float font_size;
    font_family f_family;
    font_style f_style;
    rgb_color background_color;
    int32 separator;
    bool click_to_open;
    bool triggers_always_shown;
};

// The menus' font and look (the plain system font).
status_t get_menu_info(menu_info* info);

class BMenu : public BView
{
public:
    // The name is the menu's title, shown by the item that opens it.
    explicit BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
    BMenu(const char* name, float width, float height);
    virtual ~BMenu();

    // Items (owned once added)
    bool AddItem(BMenuItem* item);
    bool AddItem(BMenuItem* item, int32 index);
    bool AddItem(BMenu* submenu);
    bool AddItem(BMenu* submenu, int32 index);
    bool AddSeparatorItem();
    // These give the items back to the caller.
    bool RemoveItem(BMenuItem* item);
    BMenuItem* RemoveItem(int32 index);
    bool RemoveItem(BMenu* submenu);
    bool RemoveItems(int32 index, int32 count, bool deleteItems = false);

    BMenuItem* ItemAt(int32 index) const;
    BMenu* SubmenuAt(int32 index) const;
    int32 CountItems() const;
    int32 IndexOf(BMenuItem* item) const;
    int32 IndexOf(BMenu* submenu) const;
    // Searches submenus too.
    BMenuItem* FindItem(const char* label) const;
    BMenuItem* FindItem(uint32 command) const;
    // The marked item of this menu (not its submenus), or nullptr.
    BMenuItem* FindMarked() const;
    BMenu* Supermenu() const;
    BMenuItem* Superitem() const;
    menu_layout Layout() const;

    // The target of this menu's items (not its submenus').
    virtual status_t SetTargetForItems(BHandler* target);
    virtual status_t SetTargetForItems(BMessenger messenger);

    // A disabled menu disables the item that opens it.
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    // One marked item at a time; choosing an item marks it.
    virtual void SetRadioMode(bool radioMode);
    bool IsRadioMode() const;
    // The item that opens the menu shows the marked item's label.
    virtual void SetLabelFromMarked(bool labelFromMarked);
    bool IsLabelFromMarked() const;

protected:
    kit_private::ViewKind _Kind() const override;

private:
    friend class BMenuItem;
    friend class BMenuBar;
    friend class BMenuField;
    friend class BPopUpMenu;

    void _Changed();
    void _ItemMarked(BMenuItem* item);
    BWindow* _TargetWindow() const;

    std::vector<BMenuItem*> fItems;
    menu_layout fLayout;
    BMenuItem* fSuperitem;
    kit_private::MenuOwner* fOwner; // for a menu bar or a menu field's menu
    BWindow* fShownIn;              // while a popup menu is open
    bool fEnabled;
    bool fRadioMode;
    bool fLabelFromMarked;
};
