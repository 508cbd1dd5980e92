// Coloured rows: the text in the row's own colour on the grey selection, and changes of a
// row in a list shown at once.

#include "ViewTestUtil.h"

#include <ColoredItem.h>

#include <ListView.h>

#include <gtest/gtest.h>

namespace {

constexpr rgb_color kRed = {200, 0, 0, 0};
constexpr rgb_color kBlue = {0, 0, 200, 0};
constexpr rgb_color kGrey = {156, 156, 156, 255};

TEST(ColoredItemTest, RowsShowTheirOwnColourOnTheGreySelection)
{
    viewtest::Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* list = new BListView(BRect(0, 0, 99, 199), "list", B_MULTIPLE_SELECTION_LIST);
    ColoredItem red("zed", kRed);
    ColoredItem untitled(nullptr, kBlue);
    list->AddItem(&red);
    list->AddItem(&untitled);
    window->AddChild(list);
    fixture.Start(window);

    auto rows = fixture.Display().View(window, "list")->rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].text, "zed");
    EXPECT_TRUE(rows[0].ownColors);
    EXPECT_EQ(rows[0].textColor, kRed);
    EXPECT_EQ(rows[0].selectionColor, kGrey);
    EXPECT_EQ(rows[1].text, "");

    ASSERT_TRUE(window->Lock());
    red.SetColor(kBlue);
    red.SetText("amy");
    window->Unlock();
    rows = fixture.Display().View(window, "list")->rows;
    EXPECT_EQ(rows[0].text, "amy");
    EXPECT_EQ(rows[0].textColor, kBlue);
    EXPECT_EQ(rows[0].selectionColor, kGrey);
    EXPECT_STREQ(red.Text(), "amy");

    ASSERT_TRUE(window->Lock());
    list->MakeEmpty(); // the rows live on the stack
    window->Unlock();
}

} // namespace
