#pragma once

// Kit-internal parts of menus: who shows a menu tree, the tree as the display server sees
// it, and the window's item look-ups.

#include "ViewChange.h"

#include <SupportDefs.h>

class BMenu;
class BMenuItem;
class BWindow;

namespace kit_private {

// A view that shows a menu tree (a menu bar, a menu field): told when the tree changed.
class MenuOwner
{
public:
    virtual ~MenuOwner() = default;
    virtual void MenuChanged() = 0;
    // The window whose thread handles the menu's items, or nullptr.
    virtual BWindow* MenuWindow() const = 0;
};

// The tree of a menu, labelled label (nullptr: the menu's name).
MenuNode menu_tree(const BMenu* menu, const char* label = nullptr);

// The item with that token in menu or its submenus.
BMenuItem* find_menu_item(const BMenu* menu, int32 token);
// The enabled item whose Command-key shortcut is key with those modifiers.
BMenuItem* find_shortcut(const BMenu* menu, uint32 key, uint32 modifiers);
// Chooses an item as a click would: marks it in a radio menu and invokes it.
void choose_menu_item(BMenuItem* item);

} // namespace kit_private
