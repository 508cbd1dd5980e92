#include "FixedFontProvider.h"

namespace kit_private {

std::vector<FontFamilyInfo> FixedFontProvider::Families()
{
    // Deliberately not in alphabetical order, as a system may report them.
    return {
        {"DejaVu Sans", {"Book", "Bold", "Oblique", "Bold Oblique"}},
        {"Liberation Serif", {"Regular", "Bold", "Italic"}},
        {"DejaVu Sans Mono", {"Book", "Bold"}},
        {"bitstream charter", {"Regular"}},
        {"DejaVu Serif", {"Book", "Bold"}},
    };
}

void FixedFontProvider::SystemFonts(SystemFontFace* plain, SystemFontFace* bold,
                                    SystemFontFace* fixed)
{
    *plain = {"DejaVu Sans", "Book", 12};
    *bold = {"DejaVu Sans", "Bold", 12};
    *fixed = {"DejaVu Sans Mono", "Book", 12};
}

float FixedFontProvider::StringWidth(const FontFace& face, float size, std::string_view text)
{
    int32 characters = 0;
    for (char c : text) {
        // Count lead bytes only, so a multi-byte character is one character.
        if ((static_cast<unsigned char>(c) & 0xc0) != 0x80)
            characters++;
    }
    float advance = (face.face & B_BOLD_FACE) != 0 ? 0.65f : 0.6f;
    return characters * advance * size;
}

font_height FixedFontProvider::Height(const FontFace&, float size)
{
    return {0.8f * size, 0.2f * size, 0};
}

} // namespace kit_private
