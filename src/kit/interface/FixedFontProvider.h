#pragma once

// A font provider with a fixed set of families and metrics computed from the character
// count, so layouts and tests come out the same on every machine. Used headless and until
// the display server installs its own.
//
// Every character (code point) is 0.6 × size wide, bold ones 0.65 × size; the ascent is
// 0.8 × size, the descent 0.2 × size, no leading.

#include "FontProvider.h"

namespace kit_private {

class FixedFontProvider : public FontProvider
{
public:
    std::vector<FontFamilyInfo> Families() override;
    void SystemFonts(SystemFontFace* plain, SystemFontFace* bold, SystemFontFace* fixed) override;
    float StringWidth(const FontFace& face, float size, std::string_view text) override;
    font_height Height(const FontFace& face, float size) override;
};

} // namespace kit_private
