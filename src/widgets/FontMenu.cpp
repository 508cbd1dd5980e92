#include "FontMenu.h"

#include "Arrayomatic.h"
#include "FontMenuItem.h"

#include <Message.h>
#include <StringCopy.h>

#include <cstring>
#include <new>
#include <strings.h>

FontMenu::FontMenu(const char* name, menu_layout layout) : BMenu(name, layout), fWhat(0)
{
    Init();
}

FontMenu::FontMenu(const char* name, float width, float height)
    : BMenu(name, width, height), fWhat(0)
{
    Init();
}

FontMenu::~FontMenu() = default;

void FontMenu::Init()
{
    fFamily[0] = '\0';
    fStyle[0] = '\0';
}

void FontMenu::MessageReceived(BMessage* message)
{
    if (fWhat != 0 && message->what == fWhat) {
        SetFamilyAndStyle(message);
        return;
    }
    BMenu::MessageReceived(message);
}

void FontMenu::SetMessage(uint32 what)
{
    fWhat = what;
}

status_t FontMenu::Initialize(bool drawStylesInFont, bool)
{
    // Items made with no code would send messages nobody asked for.
    if (fWhat == 0)
        return B_NO_INIT;
    RemoveItems(0, CountItems(), true);

    const int32 count = count_font_families();
    status_t status = B_OK;
    Arrayomatic<BMenuItem*> families(count > 0 ? static_cast<uint32>(count) : 0, &status);
    for (int32 i = 0; i < count; i++) {
        font_family family;
        if (get_font_family(i, &family) != B_OK)
            continue;
        BMenuItem* item = ConstructFamilyMenuItem(family, drawStylesInFont);
        if (item != nullptr && families.PushItem(item, true) != B_OK)
            delete item;
    }
    families.Sort(MenuItemComp);
    BMenuItem* item = nullptr;
    while (families.PopItem(item, true) == B_OK)
        AddItem(item);

    font_family plainFamily;
    font_style plainStyle;
    be_plain_font->GetFamilyAndStyle(&plainFamily, &plainStyle);
    SetFamilyAndStyle(plainFamily, plainStyle);
    return B_OK;
}

BMenuItem* FontMenu::ConstructFamilyMenuItem(const char* family, bool drawStylesInFont)
{
    auto* styles = new (std::nothrow) BMenu(family, B_ITEMS_IN_COLUMN);
    if (styles == nullptr)
        return nullptr;
    font_style first = "";
    const int32 count = count_font_styles(family);
    for (int32 i = 0; i < count; i++) {
        font_style style;
        if (get_font_style(family, i, &style) != B_OK)
            continue;
        if (first[0] == '\0')
            copy_utf8(first, sizeof(first), style);
        auto* item = new (std::nothrow) FontMenuItem(family, style, drawStylesInFont, fWhat);
        if (item == nullptr) {
            delete styles;
            return nullptr;
        }
        styles->AddItem(item);
    }
    BFont font;
    GetFont(&font);
    styles->SetFont(&font, B_FONT_ALL & ~B_FONT_FAMILY_AND_STYLE);

    auto* item = new (std::nothrow) FontMenuItem(styles, family, first, true);
    if (item == nullptr)
        delete styles;
    return item;
}

void FontMenu::SetFamilyAndStyle(const char* family, const char* style)
{
    for (int32 i = 0; i < CountItems(); i++) {
        BMenuItem* item = ItemAt(i);
        if (!item->IsMarked())
            continue;
        item->SetMarked(false);
        if (BMenu* submenu = item->Submenu()) {
            for (int32 j = 0; j < submenu->CountItems(); j++) {
                if (submenu->ItemAt(j)->IsMarked())
                    submenu->ItemAt(j)->SetMarked(false);
            }
        }
    }
    if (family == nullptr || style == nullptr) {
        Init();
        return;
    }
    copy_utf8(fFamily, sizeof(fFamily), family);
    copy_utf8(fStyle, sizeof(fStyle), style);

    for (int32 i = 0; i < CountItems(); i++) {
        BMenuItem* item = ItemAt(i);
        if (strcmp(item->Label(), fFamily) != 0)
            continue;
        item->SetMarked(true);
        if (BMenu* submenu = item->Submenu()) {
            for (int32 j = 0; j < submenu->CountItems(); j++) {
                if (strcmp(submenu->ItemAt(j)->Label(), fStyle) == 0) {
                    submenu->ItemAt(j)->SetMarked(true);
                    break;
                }
            }
        }
        return;
    }
}

void FontMenu::SetFamilyAndStyle(const BMessage* message)
{
    const char* family = nullptr;
    const char* style = nullptr;
    if (message != nullptr) {
        message->FindString(mk_msg_fam, &family);
        message->FindString(mk_msg_stl, &style);
    }
    SetFamilyAndStyle(family, style);
}

void FontMenu::FamilyAndStyle(font_family* family, font_style* style) const
{
    if (family != nullptr)
        copy_utf8(*family, sizeof(font_family), fFamily);
    if (style != nullptr)
        copy_utf8(*style, sizeof(font_style), fStyle);
}

int FontMenu::MenuItemComp(const BMenuItem* const* first, const BMenuItem* const* second)
{
    return strcasecmp((*first)->Label(), (*second)->Label());
}
