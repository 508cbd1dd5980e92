// Fonts: family-and-style codes round-trip through the installed fonts and stay stable.

#include <Font.h>
#include <FontProvider.h>
#include <HeadlessDisplay.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Fonts, EveryInstalledStyleRoundTripsThroughItsCode)
{
    kit_private::HeadlessDisplay display;
    int32 families = count_font_families();
    ASSERT_GT(families, 0);
    int32 checked = 0;
    for (int32 i = 0; i < families; i++) {
        font_family family;
        ASSERT_EQ(get_font_family(i, &family), B_OK);
        for (int32 j = 0; j < count_font_styles(family); j++) {
            font_style style;
            ASSERT_EQ(get_font_style(family, j, &style), B_OK);
            BFont font;
            ASSERT_EQ(font.SetFamilyAndStyle(family, style), B_OK) << family << " " << style;
            BFont decoded;
            decoded.SetFamilyAndStyle(font.FamilyAndStyle());
            font_family outFamily;
            font_style outStyle;
            decoded.GetFamilyAndStyle(&outFamily, &outStyle);
            EXPECT_STREQ(outFamily, family);
            EXPECT_STREQ(outStyle, style);
            checked++;
        }
    }
    EXPECT_GT(checked, families);
}

TEST(Fonts, CodesAreTheSameInEveryRun)
{
    // Stored settings hold these codes, so they must not depend on the process.
    EXPECT_EQ(kit_private::font_code("DejaVu Sans", "Book"), 0x78b56b2eu);
    EXPECT_NE(kit_private::font_code("DejaVu Sans", "Bold"),
              kit_private::font_code("DejaVu Sans", "Book"));
    // The separator keeps "ab"+"c" apart from "a"+"bc".
    EXPECT_NE(kit_private::font_code("ab", "c"), kit_private::font_code("a", "bc"));
}

TEST(Fonts, UnknownNamesAndCodesLeaveTheFontAlone)
{
    kit_private::HeadlessDisplay display;
    BFont font(be_bold_font);
    uint32 before = font.FamilyAndStyle();
    EXPECT_EQ(font.SetFamilyAndStyle("No Such Family", "Book"), B_NAME_NOT_FOUND);
    EXPECT_EQ(font.SetFamilyAndStyle("DejaVu Sans", "No Such Style"), B_NAME_NOT_FOUND);
    font.SetFamilyAndStyle(0x12345678u);
    EXPECT_EQ(font.FamilyAndStyle(), before);
    // nullptr style: the family's first.
    ASSERT_EQ(font.SetFamilyAndStyle("DejaVu Serif", nullptr), B_OK);
    font_style style;
    font.GetFamilyAndStyle(nullptr, &style);
    EXPECT_STREQ(style, "Book");
}

TEST(Fonts, SystemFontsAndMetricsComeFromTheProvider)
{
    kit_private::HeadlessDisplay display;
    font_family family;
    font_style style;
    be_bold_font->GetFamilyAndStyle(&family, &style);
    EXPECT_STREQ(family, "DejaVu Sans");
    EXPECT_STREQ(style, "Bold");
    EXPECT_EQ(be_bold_font->Face() & B_BOLD_FACE, B_BOLD_FACE);
    EXPECT_EQ(be_plain_font->Face(), B_REGULAR_FACE);

    BFont plain(be_plain_font);
    plain.SetSize(10);
    EXPECT_FLOAT_EQ(plain.StringWidth("abcd"), 24);
    EXPECT_FLOAT_EQ(plain.StringWidth("\xc3\xa9t\xc3\xa9"), 18); // three characters
    font_height height;
    plain.GetHeight(&height);
    EXPECT_FLOAT_EQ(height.ascent + height.descent, 10);
    plain.SetSize(-3); // clamped, not refused
    EXPECT_EQ(plain.Size(), 1);
}

} // namespace
