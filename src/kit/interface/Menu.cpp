#include "Menu.h"

#include "MenuPrivate.h"
#include "ViewPrivate.h"

#include <MenuItem.h>
#include <Messenger.h>
#include <SeparatorItem.h>
#include <StringCopy.h>
#include <Window.h>

#include <algorithm>
#include <cstring>

status_t get_menu_info(menu_info* info)
{
    if (info == nullptr)
        return B_BAD_VALUE;
    info->font_size = be_plain_font->Size();
    be_plain_font->GetFamilyAndStyle(&info->f_family, &info->f_style);
    info->background_color = B_PANEL_BACKGROUND;
    info->separator = 0;
    info->click_to_open = true;
    info->triggers_always_shown = false;
    return B_OK;
}

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 0, 0), name, B_FOLLOW_NONE, B_WILL_DRAW), fLayout(layout),
      fSuperitem(nullptr), fOwner(nullptr), fShownIn(nullptr), fEnabled(true), fRadioMode(false),
      fLabelFromMarked(false)
{
}

BMenu::BMenu(const char* name, float width, float height) : BMenu(name, B_ITEMS_IN_MATRIX)
{
    ResizeTo(width, height);
}

BMenu::~BMenu()
{
    std::vector<BMenuItem*> items;
    items.swap(fItems);
    for (BMenuItem* item : items) {
        item->fMenu = nullptr;
        delete item;
    }
}

// Items

bool BMenu::AddItem(BMenuItem* item)
{
    return AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index)
{
    if (item == nullptr || item->fMenu != nullptr || index < 0 || index > CountItems())
        return false;
    fItems.insert(fItems.begin() + index, item);
    item->fMenu = this;
    if (item->IsMarked())
        _ItemMarked(item);
    _Changed();
    return true;
}

bool BMenu::AddItem(BMenu* submenu)
{
    return AddItem(submenu, CountItems());
}

bool BMenu::AddItem(BMenu* submenu, int32 index)
{
    if (submenu == nullptr || submenu->fSuperitem != nullptr)
        return false;
    auto* item = new BMenuItem(submenu);
    if (!AddItem(item, index)) {
        item->fSubmenu = nullptr;
        submenu->fSuperitem = nullptr;
        delete item;
        return false;
    }
    return true;
}

bool BMenu::AddSeparatorItem()
{
    return AddItem(new BSeparatorItem());
}

bool BMenu::RemoveItem(BMenuItem* item)
{
    int32 index = IndexOf(item);
    return index >= 0 && RemoveItem(index) != nullptr;
}

BMenuItem* BMenu::RemoveItem(int32 index)
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    BMenuItem* item = fItems[static_cast<size_t>(index)];
    fItems.erase(fItems.begin() + index);
    item->fMenu = nullptr;
    _Changed();
    return item;
}

bool BMenu::RemoveItem(BMenu* submenu)
{
    int32 index = IndexOf(submenu);
    if (index < 0)
        return false;
    BMenuItem* item = RemoveItem(index);
    // The submenu goes back to the caller; its item is ours to delete.
    item->fSubmenu = nullptr;
    submenu->fSuperitem = nullptr;
    delete item;
    return true;
}

bool BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
    if (index < 0 || count < 0 || index + count > CountItems())
        return false;
    std::vector<BMenuItem*> removed(fItems.begin() + index, fItems.begin() + index + count);
    fItems.erase(fItems.begin() + index, fItems.begin() + index + count);
    for (BMenuItem* item : removed) {
        item->fMenu = nullptr;
        if (deleteItems)
            delete item;
    }
    _Changed();
    return true;
}

BMenuItem* BMenu::ItemAt(int32 index) const
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[static_cast<size_t>(index)];
}

BMenu* BMenu::SubmenuAt(int32 index) const
{
    BMenuItem* item = ItemAt(index);
    return item != nullptr ? item->Submenu() : nullptr;
}

int32 BMenu::CountItems() const
{
    return static_cast<int32>(fItems.size());
}

int32 BMenu::IndexOf(BMenuItem* item) const
{
    auto found = std::find(fItems.begin(), fItems.end(), item);
    return found == fItems.end() ? -1 : static_cast<int32>(found - fItems.begin());
}

int32 BMenu::IndexOf(BMenu* submenu) const
{
    for (size_t i = 0; i < fItems.size(); i++) {
        if (fItems[i]->Submenu() == submenu)
            return static_cast<int32>(i);
    }
    return -1;
}

BMenuItem* BMenu::FindItem(const char* label) const
{
    if (label == nullptr)
        return nullptr;
    for (BMenuItem* item : fItems) {
        if (strcmp(item->Label(), label) == 0)
            return item;
        if (item->Submenu() != nullptr) {
            if (BMenuItem* found = item->Submenu()->FindItem(label))
                return found;
        }
    }
    return nullptr;
}

BMenuItem* BMenu::FindItem(uint32 command) const
{
    for (BMenuItem* item : fItems) {
        if (item->Message() != nullptr && item->Message()->what == command)
            return item;
        if (item->Submenu() != nullptr) {
            if (BMenuItem* found = item->Submenu()->FindItem(command))
                return found;
        }
    }
    return nullptr;
}

BMenuItem* BMenu::FindMarked() const
{
    for (BMenuItem* item : fItems) {
        if (item->IsMarked())
            return item;
    }
    return nullptr;
}

BMenu* BMenu::Supermenu() const
{
    return fSuperitem != nullptr ? fSuperitem->Menu() : nullptr;
}

BMenuItem* BMenu::Superitem() const
{
    return fSuperitem;
}

menu_layout BMenu::Layout() const
{
    return fLayout;
}

status_t BMenu::SetTargetForItems(BHandler* target)
{
    status_t result = B_OK;
    for (BMenuItem* item : fItems) {
        status_t status = item->SetTarget(target);
        if (status != B_OK)
            result = status;
    }
    return result;
}

status_t BMenu::SetTargetForItems(BMessenger messenger)
{
    status_t result = B_OK;
    for (BMenuItem* item : fItems) {
        status_t status = item->SetTarget(messenger);
        if (status != B_OK)
            result = status;
    }
    return result;
}

void BMenu::SetEnabled(bool enabled)
{
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    _Changed();
}

bool BMenu::IsEnabled() const
{
    return fEnabled;
}

void BMenu::SetRadioMode(bool radioMode)
{
    if (radioMode == fRadioMode)
        return;
    fRadioMode = radioMode;
    _Changed();
}

bool BMenu::IsRadioMode() const
{
    return fRadioMode;
}

void BMenu::SetLabelFromMarked(bool labelFromMarked)
{
    fLabelFromMarked = labelFromMarked;
    if (labelFromMarked) {
        if (BMenuItem* marked = FindMarked())
            _ItemMarked(marked);
    }
}

bool BMenu::IsLabelFromMarked() const
{
    return fLabelFromMarked;
}

kit_private::ViewKind BMenu::_Kind() const
{
    return kit_private::ViewKind::MenuBar;
}

// Change notification: the view showing the tree sends it again.

void BMenu::_Changed()
{
    const BMenu* top = this;
    while (top->Supermenu() != nullptr)
        top = top->Supermenu();
    if (top->fOwner != nullptr) {
        top->fOwner->MenuChanged();
        return;
    }
    if (top->fSuperitem != nullptr && top->fSuperitem->fOwner != nullptr)
        top->fSuperitem->fOwner->MenuChanged();
}

void BMenu::_ItemMarked(BMenuItem* item)
{
    if (fRadioMode) {
        for (BMenuItem* other : fItems) {
            if (other != item && other->fMarked) {
                other->fMarked = false;
            }
        }
    }
    if (fLabelFromMarked && fSuperitem != nullptr)
        fSuperitem->SetLabel(item->Label());
}

BWindow* BMenu::_TargetWindow() const
{
    const BMenu* top = this;
    while (top->Supermenu() != nullptr)
        top = top->Supermenu();
    if (top->fShownIn != nullptr)
        return top->fShownIn;
    if (top->fOwner != nullptr)
        return top->fOwner->MenuWindow();
    if (top->fSuperitem != nullptr && top->fSuperitem->fOwner != nullptr)
        return top->fSuperitem->fOwner->MenuWindow();
    return nullptr;
}
