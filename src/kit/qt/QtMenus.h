#pragma once

// Native menus from the menu trees of the change stream. Shortcuts are shown but not bound:
// the window thread handles Command-keys itself, so a shortcut works once, wherever the
// focus is.

#include <ViewChange.h>

#include <QMenu>
#include <QMenuBar>

#include <functional>

namespace kit_private {

using MenuChosen = std::function<void(int32 token)>;

// Replaces the menu's items with the node's items.
void fill_menu(QMenu* menu, const MenuNode& node, const MenuChosen& chosen);
// Replaces the bar's menus with the root's submenus (plain items become bar actions).
void fill_menu_bar(QMenuBar* bar, const MenuNode& root, const MenuChosen& chosen);

// Every shortcut (character and modifiers) in a tree, for withholding them from editors.
void collect_shortcuts(const MenuNode& node, std::vector<FilteredKey>* out);

} // namespace kit_private
