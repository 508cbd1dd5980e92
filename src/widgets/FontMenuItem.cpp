#include "FontMenuItem.h"

#include "FontMenu.h"

#include <Menu.h>
#include <Message.h>
#include <StringCopy.h>

FontMenuItem::FontMenuItem(const char* family, const char* style, bool drawInFont, uint32 what)
    : BMenuItem(style != nullptr ? style : "", nullptr), fWhat(what), fDrawInFont(drawInFont)
{
    Init(family, style);
}

FontMenuItem::FontMenuItem(BMenu* submenu, const char* family, const char* style, bool drawInFont)
    : BMenuItem(submenu), fWhat(0), fDrawInFont(drawInFont)
{
    Init(family, style);
}

FontMenuItem::~FontMenuItem() = default;

void FontMenuItem::Init(const char* family, const char* style)
{
    copy_utf8(fFamily, sizeof(fFamily), family != nullptr ? family : "");
    copy_utf8(fStyle, sizeof(fStyle), style != nullptr ? style : "");
    auto* message = new BMessage(fWhat);
    message->AddString(FontMenu::mk_msg_fam, fFamily);
    message->AddString(FontMenu::mk_msg_stl, fStyle);
    SetMessage(message);
    // A face that is not installed is shown in the menu's font.
    if (fDrawInFont)
        SetLabelFamilyAndStyle(fFamily, fStyle);
}

void FontMenuItem::FamilyAndStyle(font_family* family, font_style* style) const
{
    if (family != nullptr)
        copy_utf8(*family, sizeof(font_family), fFamily);
    if (style != nullptr)
        copy_utf8(*style, sizeof(font_style), fStyle);
}

void FontMenuItem::GetContentSize(float* width, float* height) const
{
    BFont font;
    if (Menu() != nullptr)
        Menu()->GetFont(&font);
    if (fDrawInFont)
        font.SetFamilyAndStyle(fFamily, fStyle);
    if (width != nullptr)
        *width = font.StringWidth(Label());
    if (height != nullptr) {
        font_height metrics;
        font.GetHeight(&metrics);
        *height = metrics.ascent + metrics.descent + metrics.leading;
    }
}
