#include "Font.h"

#include "FontProvider.h"

#include <StringCopy.h>

#include <cstring>

using kit_private::find_font_face;
using kit_private::font_code;
using kit_private::FontFace;
using kit_private::installed_families;

class BFontAccess
{
public:
    static constexpr BFont Make(std::string_view family, std::string_view style)
    {
        return BFont(font_code(family, style), 12);
    }
    static void Set(BFont* font, const kit_private::SystemFontFace& face)
    {
        font->fFamilyAndStyle = font_code(face.family, face.style);
        font->fSize = face.size;
    }
};

namespace kit_private {
void apply_system_fonts(FontProvider& provider);
}

namespace {

// Constant-initialized to the fixed provider's system fonts, so they are right before any
// provider is installed, even during other files' static initialization.
constinit BFont sPlainFont = BFontAccess::Make("DejaVu Sans", "Book");
constinit BFont sBoldFont = BFontAccess::Make("DejaVu Sans", "Bold");
constinit BFont sFixedFont = BFontAccess::Make("DejaVu Sans Mono", "Book");

const kit_private::FontFamilyInfo* FindFamily(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const auto& family : installed_families()) {
        if (family.name == name)
            return &family;
    }
    return nullptr;
}

// The face to measure with: the font's own, or the plain font's when it is not installed.
const FontFace* MeasuringFace(uint32 code)
{
    const FontFace* face = find_font_face(code);
    if (face == nullptr)
        face = find_font_face(be_plain_font->FamilyAndStyle());
    return face;
}

} // namespace

const BFont* be_plain_font = &sPlainFont;
const BFont* be_bold_font = &sBoldFont;
const BFont* be_fixed_font = &sFixedFont;

namespace kit_private {

void apply_system_fonts(FontProvider& provider)
{
    SystemFontFace plain;
    SystemFontFace bold;
    SystemFontFace fixed;
    provider.SystemFonts(&plain, &bold, &fixed);
    BFontAccess::Set(&sPlainFont, plain);
    BFontAccess::Set(&sBoldFont, bold);
    BFontAccess::Set(&sFixedFont, fixed);
}

} // namespace kit_private

BFont::BFont() : BFont(sPlainFont) {}

BFont::BFont(const BFont* font) : BFont(font != nullptr ? *font : sPlainFont) {}

status_t BFont::SetFamilyAndStyle(const char* family, const char* style)
{
    std::string familyName;
    if (family != nullptr) {
        familyName = family;
    } else {
        const FontFace* current = find_font_face(fFamilyAndStyle);
        if (current == nullptr)
            return B_NAME_NOT_FOUND;
        familyName = current->family;
    }
    const kit_private::FontFamilyInfo* info = FindFamily(familyName.c_str());
    if (info == nullptr || info->styles.empty())
        return B_NAME_NOT_FOUND;
    const std::string* chosen = &info->styles.front();
    if (style != nullptr) {
        chosen = nullptr;
        for (const std::string& candidate : info->styles) {
            if (candidate == style)
                chosen = &candidate;
        }
        if (chosen == nullptr)
            return B_NAME_NOT_FOUND;
    }
    fFamilyAndStyle = font_code(info->name, *chosen);
    return B_OK;
}

void BFont::SetFamilyAndStyle(uint32 code)
{
    if (find_font_face(code) != nullptr)
        fFamilyAndStyle = code;
}

void BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
    const FontFace* face = find_font_face(fFamilyAndStyle);
    if (family != nullptr)
        copy_utf8(*family, sizeof(font_family), face != nullptr ? face->family.c_str() : "");
    if (style != nullptr)
        copy_utf8(*style, sizeof(font_style), face != nullptr ? face->style.c_str() : "");
}

uint16 BFont::Face() const
{
    const FontFace* face = find_font_face(fFamilyAndStyle);
    return face != nullptr ? face->face : static_cast<uint16>(B_REGULAR_FACE);
}

void BFont::SetSize(float size)
{
    // Sizes outside what can be drawn are clamped rather than refused.
    if (!(size >= 1))
        size = 1;
    if (size > 10000)
        size = 10000;
    fSize = size;
}

float BFont::StringWidth(const char* string) const
{
    if (string == nullptr)
        return 0;
    return StringWidth(string, static_cast<int32>(strlen(string)));
}

float BFont::StringWidth(const char* string, int32 length) const
{
    if (string == nullptr || length <= 0)
        return 0;
    const FontFace* face = MeasuringFace(fFamilyAndStyle);
    if (face == nullptr)
        return 0;
    return kit_private::font_provider()->StringWidth(
        *face, fSize, std::string_view(string, static_cast<size_t>(length)));
}

void BFont::GetHeight(font_height* height) const
{
    if (height == nullptr)
        return;
    const FontFace* face = MeasuringFace(fFamilyAndStyle);
    if (face == nullptr) {
        *height = {0, 0, 0};
        return;
    }
    *height = kit_private::font_provider()->Height(*face, fSize);
}

// Installed families

int32 count_font_families()
{
    return static_cast<int32>(installed_families().size());
}

status_t get_font_family(int32 index, font_family* name, uint32* flags)
{
    const auto& families = installed_families();
    if (name == nullptr)
        return B_BAD_VALUE;
    if (index < 0 || index >= static_cast<int32>(families.size()))
        return B_BAD_VALUE;
    copy_utf8(*name, sizeof(font_family), families[static_cast<size_t>(index)].name.c_str());
    if (flags != nullptr)
        *flags = 0;
    return B_OK;
}

int32 count_font_styles(const char* family)
{
    const kit_private::FontFamilyInfo* info = FindFamily(family);
    return info == nullptr ? 0 : static_cast<int32>(info->styles.size());
}

status_t get_font_style(const char* family, int32 index, font_style* name, uint32* flags)
{
    return get_font_style(family, index, name, nullptr, flags);
}

status_t get_font_style(const char* family, int32 index, font_style* name, uint16* face,
                        uint32* flags)
{
    const kit_private::FontFamilyInfo* info = FindFamily(family);
    if (info == nullptr || name == nullptr)
        return B_BAD_VALUE;
    if (index < 0 || index >= static_cast<int32>(info->styles.size()))
        return B_BAD_VALUE;
    const std::string& style = info->styles[static_cast<size_t>(index)];
    copy_utf8(*name, sizeof(font_style), style.c_str());
    if (face != nullptr)
        *face = kit_private::face_of_style(style);
    if (flags != nullptr)
        *flags = 0;
    return B_OK;
}
