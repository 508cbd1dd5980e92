#pragma once

// Fonts: a family and style (named by a stable 32-bit code), a size, and the metrics of
// text drawn in it.
//
// A BFont is a small value (trivially copyable, so style-run arrays may be allocated raw).
// Metrics come from the process's font provider, which answers on any thread, so
// StringWidth and GetHeight may be called from window threads and helpers alike. The
// installed families are those of the provider: fontconfig's through Qt in the application,
// a fixed, deterministic set headless.
//
// The family-and-style code is a hash of the two names; it stays the same across runs and
// machines, and is decoded by looking it up among the installed fonts.

#include <SupportDefs.h>

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH 63
typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

// Which properties SetFont() copies
enum
{
    B_FONT_FAMILY_AND_STYLE = 0x00000001,
    B_FONT_SIZE = 0x00000002,
    B_FONT_ALL = 0x000000ff,
};

// Faces, derived from the style name
enum
{
    B_ITALIC_FACE = 0x0001,
    B_UNDERSCORE_FACE = 0x0002,
    B_BOLD_FACE = 0x0020,
    B_REGULAR_FACE = 0x0040,
};

struct font_height
{
    float ascent;
    float descent;
    float leading;
};

class BFont
{
public:
    // A copy of be_plain_font.
    BFont();
    explicit BFont(const BFont* font);

    // Family and style
    // B_NAME_NOT_FOUND (and no change) unless the family has that style installed. A
    // nullptr family keeps the current one; a nullptr style takes the family's first.
    status_t SetFamilyAndStyle(const char* family, const char* style);
    // An unknown code leaves the font unchanged.
    void SetFamilyAndStyle(uint32 code);
    uint32 FamilyAndStyle() const { return fFamilyAndStyle; }
    // Empty strings when the font's code is not installed.
    void GetFamilyAndStyle(font_family* family, font_style* style) const;
    uint16 Face() const;

    // Size, in points (one point is one pixel on the screen)
    void SetSize(float size);
    float Size() const { return fSize; }

    // Metrics, from any thread
    float StringWidth(const char* string) const;
    float StringWidth(const char* string, int32 length) const;
    void GetHeight(font_height* height) const;

    bool operator==(const BFont& other) const = default;

private:
    friend class BFontAccess;
    constexpr BFont(uint32 code, float size) : fFamilyAndStyle(code), fSize(size) {}

    uint32 fFamilyAndStyle;
    float fSize;
};

// The system fonts: plain, bold and fixed-width. Set when the font provider is installed
// (before any window exists); read-only afterwards.
extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

// Installed families and styles, in the order the system reports them.
int32 count_font_families();
status_t get_font_family(int32 index, font_family* name, uint32* flags = nullptr);
int32 count_font_styles(const char* family);
status_t get_font_style(const char* family, int32 index, font_style* name, uint32* flags = nullptr);
status_t get_font_style(const char* family, int32 index, font_style* name, uint16* face,
                        uint32* flags = nullptr);
