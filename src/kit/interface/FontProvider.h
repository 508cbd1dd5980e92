#pragma once

// Where fonts come from: the installed families and the metrics of text. The display server
// installs one when it starts (Qt's in the application); until then, and headless, the
// deterministic FixedFontProvider serves.
//
// Metric calls come from any thread, concurrently; a provider guards its own caches.
// Installing a provider is done once, before windows exist: it rewrites the system fonts.

#include <Font.h>
#include <SupportDefs.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kit_private {

struct FontFamilyInfo
{
    std::string name;
    std::vector<std::string> styles;
};

// One installed family and style, as the registry knows it.
struct FontFace
{
    uint32 code;
    std::string family;
    std::string style;
    uint16 face;
};

struct SystemFontFace
{
    std::string family;
    std::string style;
    float size;
};

class FontProvider
{
public:
    virtual ~FontProvider();

    // Asked once, when the provider is installed.
    virtual std::vector<FontFamilyInfo> Families() = 0;
    virtual void SystemFonts(SystemFontFace* plain, SystemFontFace* bold,
                             SystemFontFace* fixed) = 0;

    // Metrics, from any thread
    virtual float StringWidth(const FontFace& face, float size, std::string_view text) = 0;
    virtual font_height Height(const FontFace& face, float size) = 0;
};

// Installs the provider (shared ownership) and rebuilds the registry and system fonts.
void set_font_provider(std::shared_ptr<FontProvider> provider);
std::shared_ptr<FontProvider> font_provider();

// The installed families of the current provider.
const std::vector<FontFamilyInfo>& installed_families();
// The code of a family and style name pair (whether installed or not): FNV-1a over
// "family\0style", so it is the same in every run, build and machine.
constexpr uint32 font_code(std::string_view family, std::string_view style)
{
    uint32 hash = 2166136261u;
    for (char c : family)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    hash = (hash ^ 0u) * 16777619u;
    for (char c : style)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}
// The installed face with that code; nullptr when none is.
const FontFace* find_font_face(uint32 code);
// The face a style name implies (B_BOLD_FACE, B_ITALIC_FACE or B_REGULAR_FACE).
uint16 face_of_style(std::string_view style);

} // namespace kit_private
