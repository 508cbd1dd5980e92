// The menu tree as the display server sees it, and the window's item look-ups.

#include "MenuPrivate.h"

#include <Menu.h>
#include <MenuItem.h>
#include <SeparatorItem.h>

#include <cctype>

namespace kit_private {

namespace {

MenuNode NodeOf(const BMenuItem* item)
{
    MenuNode node;
    node.token = item->Token();
    node.label = item->Label();
    node.separator = dynamic_cast<const BSeparatorItem*>(item) != nullptr;
    node.enabled = item->IsEnabled();
    node.marked = item->IsMarked();
    uint32 modifiers = 0;
    node.shortcut = static_cast<unsigned char>(item->Shortcut(&modifiers));
    node.modifiers = modifiers;
    node.fontCode = item->LabelFamilyAndStyle();
    if (const BMenu* submenu = item->Submenu()) {
        node.hasSubmenu = true;
        node.radioMode = submenu->IsRadioMode();
        for (int32 i = 0; i < submenu->CountItems(); i++)
            node.items.push_back(NodeOf(submenu->ItemAt(i)));
    }
    return node;
}

} // namespace

MenuNode menu_tree(const BMenu* menu, const char* label)
{
    MenuNode root;
    root.label = label != nullptr ? label : (menu->Name() != nullptr ? menu->Name() : "");
    root.hasSubmenu = true;
    root.enabled = menu->IsEnabled();
    root.radioMode = menu->IsRadioMode();
    for (int32 i = 0; i < menu->CountItems(); i++)
        root.items.push_back(NodeOf(menu->ItemAt(i)));
    return root;
}

BMenuItem* find_menu_item(const BMenu* menu, int32 token)
{
    if (menu == nullptr || token == 0)
        return nullptr;
    for (int32 i = 0; i < menu->CountItems(); i++) {
        BMenuItem* item = menu->ItemAt(i);
        if (item->Token() == token)
            return item;
        if (BMenuItem* found = find_menu_item(item->Submenu(), token))
            return found;
    }
    return nullptr;
}

BMenuItem* find_shortcut(const BMenu* menu, uint32 key, uint32 modifiers)
{
    if (menu == nullptr || !menu->IsEnabled())
        return nullptr;
    // Ctrl sets both B_COMMAND_KEY and B_CONTROL_KEY; compare the keys a shortcut names.
    const uint32 mask = B_COMMAND_KEY | B_SHIFT_KEY | B_OPTION_KEY;
    for (int32 i = 0; i < menu->CountItems(); i++) {
        BMenuItem* item = menu->ItemAt(i);
        uint32 itemModifiers = 0;
        char shortcut = item->Shortcut(&itemModifiers);
        if (shortcut != 0 && item->IsEnabled() &&
            std::tolower(static_cast<unsigned char>(shortcut)) ==
                std::tolower(static_cast<int>(key)) &&
            (itemModifiers & mask) == (modifiers & mask))
            return item;
        if (BMenuItem* found = find_shortcut(item->Submenu(), key, modifiers))
            return found;
    }
    return nullptr;
}

void choose_menu_item(BMenuItem* item)
{
    if (item == nullptr || item->Submenu() != nullptr || !item->IsEnabled())
        return;
    // An item of a disabled menu (at any level) cannot be chosen.
    for (BMenu* up = item->Menu(); up != nullptr; up = up->Supermenu()) {
        if (!up->IsEnabled())
            return;
    }
    BMenu* menu = item->Menu();
    if (menu != nullptr && menu->IsRadioMode())
        item->SetMarked(true);
    if (item->Message() != nullptr)
        item->Invoke();
}

} // namespace kit_private
