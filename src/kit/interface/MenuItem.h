#pragma once

// One entry of a menu: a label, a message (BInvoker), an optional Command-key shortcut, an
// enabled and a marked state, or a submenu to open. An item can be drawn in a font family
// and style of its own (a font menu shows each family in itself).

#include <Archivable.h>
#include <Invoker.h>
#include <SupportDefs.h>

#include <string>

class BMenu;
class BWindow;

namespace kit_private {
class MenuOwner;
}

class BMenuItem : public BArchivable, public BInvoker
{
public:
    // Takes ownership of message. The shortcut always needs B_COMMAND_KEY (the Ctrl key);
    // modifiers adds B_SHIFT_KEY or B_OPTION_KEY to it.
    BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
    // Opens submenu (owned); its label is the submenu's name.
    explicit BMenuItem(BMenu* submenu, BMessage* message = nullptr);
    virtual ~BMenuItem();

    virtual void SetLabel(const char* label); // copied
    const char* Label() const;
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const; // false also when its submenu is disabled
    // In a radio-mode menu, marking an item unmarks the others.
    virtual void SetMarked(bool marked);
    bool IsMarked() const;
    virtual void SetShortcut(char shortcut, uint32 modifiers);
    char Shortcut(uint32* modifiers = nullptr) const;

    BMenu* Submenu() const;
    BMenu* Menu() const; // the menu holding the item

    // Draw the label in this family and style (nullptr, nullptr: the menu's font).
    // B_NAME_NOT_FOUND when the pair is not installed.
    status_t SetLabelFamilyAndStyle(const char* family, const char* style);
    uint32 LabelFamilyAndStyle() const; // 0: the menu's font

    // Posts a copy of message (or the item's) with "index" (the item's place in its menu),
    // "when" and "source" added, to the target, or to the menu's window without one.
    status_t Invoke(BMessage* message = nullptr) override;

    // For the view kit: identifies the item to the display server.
    int32 Token() const { return fToken; }

private:
    friend class BMenu;
    friend class BMenuField;
    void _Changed();

    std::string fLabel;
    BMenu* fSubmenu;
    BMenu* fMenu;
    kit_private::MenuOwner* fOwner; // for a menu field's own item
    char fShortcut;
    uint32 fModifiers;
    bool fEnabled;
    bool fMarked;
    uint32 fFontCode;
    int32 fToken;
};
