#pragma once

// Fonts from fontconfig through Qt: the installed families and styles (read once, on the
// GUI thread, when the provider is made) and metrics from QFontMetricsF, which each thread
// keeps its own of (Qt's font engines are per thread), so any thread may measure.

#include <FontProvider.h>

#include <QFont>

namespace kit_private {

class QtFontProvider : public FontProvider
{
public:
    QtFontProvider(); // on the GUI thread, with the application running

    std::vector<FontFamilyInfo> Families() override;
    void SystemFonts(SystemFontFace* plain, SystemFontFace* bold, SystemFontFace* fixed) override;
    float StringWidth(const FontFace& face, float size, std::string_view text) override;
    font_height Height(const FontFace& face, float size) override;

private:
    std::vector<FontFamilyInfo> fFamilies;
    SystemFontFace fPlain;
    SystemFontFace fBold;
    SystemFontFace fFixed;
};

// The Qt font for a kit font (its size in pixels); the plain font when not installed.
QFont qt_font(const BFont& font);
QFont qt_font(uint32 familyAndStyle, float size);

} // namespace kit_private
