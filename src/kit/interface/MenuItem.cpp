#include "MenuItem.h"

#include "../private/Tokens.h"
#include "FontProvider.h"
#include "MenuPrivate.h"

#include <Font.h>
#include <Menu.h>
#include <Message.h>
#include <OS.h>
#include <Window.h>

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : BInvoker(message, nullptr, nullptr), fLabel(label != nullptr ? label : ""), fSubmenu(nullptr),
      fMenu(nullptr), fOwner(nullptr), fShortcut(shortcut),
      fModifiers(shortcut != 0 ? (modifiers | B_COMMAND_KEY) : 0), fEnabled(true), fMarked(false),
      fFontCode(0), fToken(kit_private::new_handler_token())
{
}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message)
    : BMenuItem(submenu != nullptr && submenu->Name() != nullptr ? submenu->Name() : "", message)
{
    fSubmenu = submenu;
    if (submenu != nullptr)
        submenu->fSuperitem = this;
}

BMenuItem::~BMenuItem()
{
    if (fMenu != nullptr)
        fMenu->RemoveItem(this);
    delete fSubmenu;
}

void BMenuItem::_Changed()
{
    if (fMenu != nullptr)
        fMenu->_Changed();
    else if (fOwner != nullptr)
        fOwner->MenuChanged();
}

void BMenuItem::SetLabel(const char* label)
{
    std::string value = label != nullptr ? label : "";
    if (value == fLabel)
        return;
    fLabel = value;
    _Changed();
}

const char* BMenuItem::Label() const
{
    return fLabel.c_str();
}

void BMenuItem::SetEnabled(bool enabled)
{
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    _Changed();
}

bool BMenuItem::IsEnabled() const
{
    if (fSubmenu != nullptr && !fSubmenu->IsEnabled())
        return false;
    return fEnabled;
}

void BMenuItem::SetMarked(bool marked)
{
    if (marked == fMarked)
        return;
    fMarked = marked;
    if (marked && fMenu != nullptr)
        fMenu->_ItemMarked(this);
    _Changed();
}

bool BMenuItem::IsMarked() const
{
    return fMarked;
}

void BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
    fShortcut = shortcut;
    fModifiers = shortcut != 0 ? (modifiers | B_COMMAND_KEY) : 0;
    _Changed();
}

char BMenuItem::Shortcut(uint32* modifiers) const
{
    if (modifiers != nullptr)
        *modifiers = fModifiers;
    return fShortcut;
}

BMenu* BMenuItem::Submenu() const
{
    return fSubmenu;
}

BMenu* BMenuItem::Menu() const
{
    return fMenu;
}

status_t BMenuItem::SetLabelFamilyAndStyle(const char* family, const char* style)
{
    uint32 code = 0;
    if (family != nullptr || style != nullptr) {
        BFont font;
        if (font.SetFamilyAndStyle(family, style) != B_OK)
            return B_NAME_NOT_FOUND;
        code = font.FamilyAndStyle();
    }
    if (code != fFontCode) {
        fFontCode = code;
        _Changed();
    }
    return B_OK;
}

uint32 BMenuItem::LabelFamilyAndStyle() const
{
    return fFontCode;
}

status_t BMenuItem::Invoke(BMessage* message)
{
    BMessage* source = message != nullptr ? message : Message();
    if (source == nullptr)
        return B_BAD_VALUE;
    BMessage copy(*source);
    copy.AddInt32("index", fMenu != nullptr ? fMenu->IndexOf(this) : -1);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", this);
    if (Messenger().IsValid())
        return BInvoker::Invoke(&copy);
    BWindow* window = fMenu != nullptr ? fMenu->_TargetWindow() : nullptr;
    if (window == nullptr)
        return B_BAD_PORT_ID;
    return window->PostMessage(&copy);
}
