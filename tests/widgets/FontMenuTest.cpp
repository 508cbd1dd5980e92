// Font menus over the headless fonts (reported out of order, one family in lower case):
// families sorted ignoring case, styles as reported, the plain font marked, marks that move
// and clear, and the items' messages.

#include <FontMenu.h>
#include <FontMenuItem.h>

#include <Font.h>
#include <FontProvider.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32 kChoose = 'Aisr';

std::vector<std::string> Labels(const BMenu* menu)
{
    std::vector<std::string> labels;
    for (int32 i = 0; i < menu->CountItems(); i++)
        labels.emplace_back(menu->ItemAt(i)->Label());
    return labels;
}

// "family/style" of every marked item, top level first.
std::vector<std::string> Marks(const BMenu* menu)
{
    std::vector<std::string> marks;
    for (int32 i = 0; i < menu->CountItems(); i++) {
        BMenuItem* item = menu->ItemAt(i);
        BMenu* styles = item->Submenu();
        for (int32 j = 0; styles != nullptr && j < styles->CountItems(); j++) {
            if (styles->ItemAt(j)->IsMarked())
                marks.push_back(std::string(item->Label()) + "/" + styles->ItemAt(j)->Label());
        }
        if (item->IsMarked())
            marks.push_back(item->Label());
    }
    return marks;
}

std::unique_ptr<FontMenu> Filled(bool stylesInFont)
{
    auto menu = std::make_unique<FontMenu>("Channel Font");
    menu->SetMessage(kChoose);
    EXPECT_EQ(menu->Initialize(stylesInFont), B_OK);
    return menu;
}

TEST(FontMenu, FamiliesIgnoreCaseInOrderStylesAsReported)
{
    auto menu = Filled(false);
    EXPECT_EQ(Labels(menu.get()),
              (std::vector<std::string>{"bitstream charter", "DejaVu Sans", "DejaVu Sans Mono",
                                        "DejaVu Serif", "Liberation Serif"}));
    BMenu* sans = menu->ItemAt(1)->Submenu();
    ASSERT_NE(sans, nullptr);
    EXPECT_EQ(Labels(sans), (std::vector<std::string>{"Book", "Bold", "Oblique", "Bold Oblique"}));
    EXPECT_EQ(static_cast<int32>(menu->CountItems()), count_font_families());
}

TEST(FontMenu, ThePlainFontIsMarkedAndMarksMoveAndClear)
{
    auto menu = Filled(false);
    EXPECT_EQ(Marks(menu.get()), (std::vector<std::string>{"DejaVu Sans/Book", "DejaVu Sans"}));
    font_family family;
    font_style style;
    menu->FamilyAndStyle(&family, &style);
    EXPECT_STREQ(family, "DejaVu Sans");
    EXPECT_STREQ(style, "Book");

    menu->SetFamilyAndStyle("Liberation Serif", "Italic");
    EXPECT_EQ(Marks(menu.get()),
              (std::vector<std::string>{"Liberation Serif/Italic", "Liberation Serif"}));

    // A style the family lacks marks the family only; an unknown family marks nothing.
    menu->SetFamilyAndStyle("DejaVu Serif", "Oblique");
    EXPECT_EQ(Marks(menu.get()), (std::vector<std::string>{"DejaVu Serif"}));
    menu->SetFamilyAndStyle("No Such Family", "Book");
    EXPECT_TRUE(Marks(menu.get()).empty());
    menu->FamilyAndStyle(&family, &style);
    EXPECT_STREQ(family, "No Such Family");

    menu->SetFamilyAndStyle("DejaVu Sans Mono", "Bold");
    menu->SetFamilyAndStyle("DejaVu Sans Mono", nullptr);
    EXPECT_TRUE(Marks(menu.get()).empty());
    menu->FamilyAndStyle(&family, &style);
    EXPECT_STREQ(family, "");
    EXPECT_STREQ(style, "");

    // The menu's own message code marks what it names.
    BMessage chosen(kChoose);
    chosen.AddString(FontMenu::mk_msg_fam, "bitstream charter");
    chosen.AddString(FontMenu::mk_msg_stl, "Regular");
    menu->MessageReceived(&chosen);
    EXPECT_EQ(Marks(menu.get()),
              (std::vector<std::string>{"bitstream charter/Regular", "bitstream charter"}));
}

TEST(FontMenu, StyleItemsSendFamilyAndStyleAndDrawInTheirFontWhenAsked)
{
    for (bool stylesInFont : {false, true}) {
        auto menu = Filled(stylesInFont);
        BMenuItem* family = menu->ItemAt(4);
        ASSERT_STREQ(family->Label(), "Liberation Serif");
        BFont serif;
        ASSERT_EQ(serif.SetFamilyAndStyle("Liberation Serif", "Regular"), B_OK);
        // A family item opens its styles and is always shown in its own face.
        EXPECT_EQ(family->LabelFamilyAndStyle(), serif.FamilyAndStyle());

        BMenuItem* italic = family->Submenu()->ItemAt(2);
        ASSERT_NE(italic->Message(), nullptr);
        EXPECT_EQ(italic->Message()->what, kChoose);
        const char* value = nullptr;
        ASSERT_EQ(italic->Message()->FindString("family", &value), B_OK);
        EXPECT_STREQ(value, "Liberation Serif");
        ASSERT_EQ(italic->Message()->FindString("style", &value), B_OK);
        EXPECT_STREQ(value, "Italic");
        BFont face;
        ASSERT_EQ(face.SetFamilyAndStyle("Liberation Serif", "Italic"), B_OK);
        EXPECT_EQ(italic->LabelFamilyAndStyle(), stylesInFont ? face.FamilyAndStyle() : 0u);

        // Measured in the face it is drawn in (headless bold faces are wider).
        BMenuItem* bold = menu->ItemAt(1)->Submenu()->ItemAt(1);
        float width = 0;
        static_cast<FontMenuItem*>(bold)->GetContentSize(&width, nullptr);
        BFont plain;
        EXPECT_EQ(width > plain.StringWidth("Bold"), stylesInFont);
    }
}

TEST(FontMenu, InitializeNeedsACodeAndRebuildsWithoutDuplicates)
{
    FontMenu menu("Fonts");
    EXPECT_EQ(menu.Initialize(false), B_NO_INIT);
    EXPECT_EQ(menu.CountItems(), 0);
    menu.SetMessage(kChoose);
    ASSERT_EQ(menu.Initialize(false), B_OK);
    ASSERT_EQ(menu.Initialize(true), B_OK);
    EXPECT_EQ(menu.CountItems(), count_font_families());
}

} // namespace
