#include "FontProvider.h"

#include "FixedFontProvider.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <unordered_map>

namespace kit_private {

FontProvider::~FontProvider() = default;

namespace {

struct Registry
{
    std::shared_ptr<FontProvider> provider;
    std::vector<FontFamilyInfo> families;
    std::unordered_map<uint32, FontFace> faces;
};

std::mutex sRegistryLock;
// Registries are never freed once built: faces handed out by find_font_face stay valid even
// if a test installs another provider later.
std::vector<std::unique_ptr<Registry>> sRetired;
Registry* sRegistry = nullptr;

bool ContainsWord(std::string_view text, std::string_view word)
{
    auto it = std::search(text.begin(), text.end(), word.begin(), word.end(),
                          [](char a, char b) { return std::tolower(a) == std::tolower(b); });
    return it != text.end();
}

Registry* Build(std::shared_ptr<FontProvider> provider)
{
    auto registry = std::make_unique<Registry>();
    registry->provider = provider;
    registry->families = provider->Families();
    for (const FontFamilyInfo& family : registry->families) {
        for (const std::string& style : family.styles) {
            uint32 code = font_code(family.name, style);
            // On a collision the first family in the system's order keeps the code.
            registry->faces.try_emplace(code,
                                        FontFace{code, family.name, style, face_of_style(style)});
        }
    }
    Registry* built = registry.get();
    sRetired.push_back(std::move(registry));
    return built;
}

} // namespace

void apply_system_fonts(FontProvider& provider); // Font.cpp

static Registry* current_registry()
{
    std::lock_guard<std::mutex> lock(sRegistryLock);
    if (sRegistry == nullptr)
        sRegistry = Build(std::make_shared<FixedFontProvider>());
    return sRegistry;
}

void set_font_provider(std::shared_ptr<FontProvider> provider)
{
    if (!provider)
        provider = std::make_shared<FixedFontProvider>();
    {
        std::lock_guard<std::mutex> lock(sRegistryLock);
        sRegistry = Build(provider);
    }
    apply_system_fonts(*provider);
}

std::shared_ptr<FontProvider> font_provider()
{
    return current_registry()->provider;
}

const std::vector<FontFamilyInfo>& installed_families()
{
    return current_registry()->families;
}

const FontFace* find_font_face(uint32 code)
{
    Registry* registry = current_registry();
    auto found = registry->faces.find(code);
    return found == registry->faces.end() ? nullptr : &found->second;
}

uint16 face_of_style(std::string_view style)
{
    uint16 face = 0;
    if (ContainsWord(style, "bold") || ContainsWord(style, "black") || ContainsWord(style, "heavy"))
        face |= B_BOLD_FACE;
    if (ContainsWord(style, "italic") || ContainsWord(style, "oblique"))
        face |= B_ITALIC_FACE;
    return face == 0 ? static_cast<uint16>(B_REGULAR_FACE) : face;
}

} // namespace kit_private
