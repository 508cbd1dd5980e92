// The view tree as a model: resizing modes on window resize, coordinate conversions, the
// tree operations, focus, and what the display is told.

#include "ViewTestUtil.h"

#include <View.h>
#include <Window.h>

#include <gtest/gtest.h>

using viewtest::Fixture;
using viewtest::RecordingView;

namespace {

struct ModeCase
{
    const char* name;
    uint32 mode;
    BRect expected; // after the window grows by 100 × 50 from 400 × 300
};

class ResizingModes : public ::testing::TestWithParam<ModeCase>
{
};

TEST_P(ResizingModes, FollowTheWindowsEdges)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    window->ResizeTo(400, 300);
    auto* view = new RecordingView(BRect(10, 20, 109, 69), "v", GetParam().mode);
    window->AddChild(view);
    fixture.Start(window);

    fixture.Display().ResizeWindow(window, 500, 350);
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_EQ(view->Frame(), GetParam().expected) << GetParam().name;
    bool sizeChanged = GetParam().expected.Width() != 99 || GetParam().expected.Height() != 49;
    EXPECT_EQ(view->resized.size(), sizeChanged ? 1u : 0u);
    window->Unlock();

    // The display was told the same frame.
    auto shown = fixture.Display().View(window, "v");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->frame, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ResizingModes,
    ::testing::Values(
        ModeCase{"none", B_FOLLOW_NONE, BRect(10, 20, 109, 69)},
        ModeCase{"left top", B_FOLLOW_LEFT | B_FOLLOW_TOP, BRect(10, 20, 109, 69)},
        ModeCase{"right", B_FOLLOW_RIGHT | B_FOLLOW_TOP, BRect(110, 20, 209, 69)},
        ModeCase{"bottom", B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, BRect(10, 70, 109, 119)},
        ModeCase{"all", B_FOLLOW_ALL_SIDES, BRect(10, 20, 209, 119)},
        ModeCase{"left right", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, BRect(10, 20, 209, 69)},
        ModeCase{"top bottom", B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM, BRect(10, 20, 109, 119)},
        ModeCase{"h centre", B_FOLLOW_H_CENTER | B_FOLLOW_TOP, BRect(60, 20, 159, 69)},
        ModeCase{"v centre", B_FOLLOW_LEFT | B_FOLLOW_V_CENTER, BRect(10, 45, 109, 94)}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(ViewTree, NestedViewsFollowTheirParentsNewSize)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    window->ResizeTo(400, 300);
    auto* outer = new RecordingView(BRect(0, 0, 400, 300), "outer", B_FOLLOW_ALL_SIDES);
    auto* inner =
        new RecordingView(BRect(300, 250, 390, 290), "inner", B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    outer->AddChild(inner);
    window->AddChild(outer);
    fixture.Start(window);

    fixture.Display().ResizeWindow(window, 450, 320);
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_EQ(inner->Frame(), BRect(350, 270, 440, 310));
    EXPECT_EQ(inner->moved.size(), 1u);
    EXPECT_TRUE(inner->resized.empty());
    window->Unlock();
}

TEST(ViewTree, ConversionsGoThroughEveryParentAndTheWindow)
{
    Fixture fixture;
    auto* window = fixture.NewWindow(); // frame left-top (100, 100)
    auto* outer = new BView(BRect(10, 20, 200, 200), "outer", B_FOLLOW_NONE, 0);
    auto* inner = new BView(BRect(5, 7, 50, 50), "inner", B_FOLLOW_NONE, 0);
    outer->AddChild(inner);
    window->AddChild(outer);

    EXPECT_EQ(inner->ConvertToParent(BPoint(1, 1)), BPoint(6, 8));
    EXPECT_EQ(inner->ConvertFromParent(BPoint(6, 8)), BPoint(1, 1));
    EXPECT_EQ(inner->ConvertToScreen(BPoint(1, 1)), BPoint(116, 128));
    EXPECT_EQ(inner->ConvertFromScreen(BPoint(116, 128)), BPoint(1, 1));
    EXPECT_EQ(inner->ConvertToScreen(BRect(0, 0, 9, 9)), BRect(115, 127, 124, 136));
    EXPECT_EQ(window->ConvertToScreen(BPoint(0, 0)), BPoint(100, 100));
    EXPECT_EQ(inner->Bounds(), BRect(0, 0, 45, 43));
    fixture.Start(window);
}

TEST(ViewTree, GetMouseAnswersFromTheDisplaysSnapshot)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* outer = new BView(BRect(10, 20, 200, 200), "outer", B_FOLLOW_NONE, 0);
    auto* inner = new BView(BRect(5, 7, 50, 50), "inner", B_FOLLOW_NONE, 0);
    outer->AddChild(inner);
    window->AddChild(outer);
    fixture.Start(window);

    // The display reports the pointer in window coordinates; each view sees it in its own.
    fixture.Display().Click(window, "inner", BPoint(30, 40), B_SECONDARY_MOUSE_BUTTON);
    ASSERT_TRUE(window->Lock());
    BPoint where;
    uint32 buttons = 0;
    inner->GetMouse(&where, &buttons);
    EXPECT_EQ(where, BPoint(30, 40));
    EXPECT_EQ(buttons, static_cast<uint32>(B_SECONDARY_MOUSE_BUTTON));
    outer->GetMouse(&where, &buttons);
    EXPECT_EQ(where, BPoint(35, 47));
    window->Unlock();
}

TEST(ViewTree, TreeOperationsAndNames)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* a = new BView(BRect(0, 0, 10, 10), "a", B_FOLLOW_NONE, 0);
    auto* b = new BView(BRect(0, 0, 10, 10), "b", B_FOLLOW_NONE, 0);
    auto* c = new BView(BRect(0, 0, 10, 10), "c", B_FOLLOW_NONE, 0);
    window->AddChild(a);
    window->AddChild(c);
    window->AddChild(b, c); // before c
    a->AddChild(new BView(BRect(0, 0, 1, 1), "deep", B_FOLLOW_NONE, 0));

    EXPECT_EQ(window->CountChildren(), 3);
    EXPECT_EQ(window->ChildAt(1), b);
    EXPECT_EQ(b->NextSibling(), c);
    EXPECT_EQ(b->PreviousSibling(), a);
    EXPECT_EQ(a->Parent(), nullptr); // top-level
    EXPECT_EQ(a->Window(), window);
    ASSERT_NE(window->FindView("deep"), nullptr);
    EXPECT_EQ(window->FindView("deep")->Parent(), a);
    EXPECT_EQ(window->FindView("nothing"), nullptr);

    EXPECT_TRUE(b->RemoveSelf());
    EXPECT_EQ(b->Window(), nullptr);
    EXPECT_EQ(window->CountChildren(), 2);
    delete b;
    fixture.Start(window);

    auto shown = fixture.Display().Window(window);
    ASSERT_TRUE(shown);
    EXPECT_NE(shown->Find("a"), nullptr);
    EXPECT_NE(shown->Find("deep"), nullptr);
    EXPECT_EQ(shown->Find("b"), nullptr);
}

TEST(ViewTree, DeletingAnAttachedViewTakesItOutOfTheWindow)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* view = new BView(BRect(0, 0, 10, 10), "gone", B_FOLLOW_NONE, B_NAVIGABLE);
    window->AddChild(view);
    view->MakeFocus();
    fixture.Start(window);
    ASSERT_TRUE(window->Lock());
    int32 handlers = window->CountHandlers();
    delete view;
    EXPECT_EQ(window->CountHandlers(), handlers - 1);
    EXPECT_EQ(window->CountChildren(), 0);
    EXPECT_EQ(window->CurrentFocus(), nullptr);
    window->Unlock();
    EXPECT_FALSE(fixture.Display().View(window, "gone"));
}

TEST(ViewTree, HiddenNestsAndFollowsParents)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* parent = new BView(BRect(0, 0, 10, 10), "parent", B_FOLLOW_NONE, 0);
    auto* child = new BView(BRect(0, 0, 5, 5), "child", B_FOLLOW_NONE, 0);
    parent->AddChild(child);
    window->AddChild(parent);
    fixture.Start(window);

    ASSERT_TRUE(window->Lock());
    parent->Hide();
    parent->Hide();
    EXPECT_TRUE(child->IsHidden());
    parent->Show();
    EXPECT_TRUE(parent->IsHidden()); // hidden twice, shown once
    parent->Show();
    EXPECT_FALSE(child->IsHidden());
    parent->Hide();
    window->Unlock();
    EXPECT_TRUE(fixture.Display().View(window, "parent")->hidden);
    EXPECT_FALSE(fixture.Display().View(window, "child")->hidden);
}

TEST(ViewTree, FocusMovesAndIsShown)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* a = new BView(BRect(0, 0, 10, 10), "a", B_FOLLOW_NONE, B_NAVIGABLE);
    auto* b = new BView(BRect(0, 0, 10, 10), "b", B_FOLLOW_NONE, B_NAVIGABLE);
    window->AddChild(a);
    window->AddChild(b);
    a->MakeFocus();
    EXPECT_TRUE(a->IsFocus());
    b->MakeFocus();
    EXPECT_FALSE(a->IsFocus());
    EXPECT_EQ(window->CurrentFocus(), b);
    fixture.Start(window);
    EXPECT_EQ(fixture.Display().Window(window)->focus, fixture.Display().View(window, "b")->token);

    // Removing the focus view leaves no focus.
    ASSERT_TRUE(window->Lock());
    b->RemoveSelf();
    EXPECT_EQ(window->CurrentFocus(), nullptr);
    delete b;
    window->Unlock();
    EXPECT_EQ(fixture.Display().Window(window)->focus, 0);
}

TEST(ViewTree, KeysGoToTheFocusView)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* view = new RecordingView(BRect(0, 0, 10, 10), "v");
    window->AddChild(view);
    view->MakeFocus();
    fixture.Start(window);

    fixture.Display().PressKey(window, "x");
    fixture.Display().Click(window, "v", BPoint(3, 4));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    ASSERT_EQ(view->keys.size(), 1u);
    EXPECT_EQ(view->keys[0], "x");
    ASSERT_EQ(view->downs.size(), 1u);
    EXPECT_EQ(view->downs[0], BPoint(3, 4));
    window->Unlock();
}

TEST(ViewTree, ColoursAndFontReachTheDisplay)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* view = new BView(BRect(0, 0, 10, 10), "v", B_FOLLOW_NONE, 0);
    view->SetViewColor(1, 2, 3);
    window->AddChild(view);
    fixture.Start(window);

    ASSERT_TRUE(window->Lock());
    view->SetHighColor(make_color(9, 8, 7));
    BFont font(be_bold_font);
    font.SetSize(17);
    view->SetFont(&font, B_FONT_SIZE); // size only
    window->Unlock();
    auto shown = fixture.Display().View(window, "v");
    EXPECT_EQ(shown->viewColor, make_color(1, 2, 3));
    EXPECT_EQ(shown->highColor, make_color(9, 8, 7));
    EXPECT_EQ(shown->font.Size(), 17);
    EXPECT_EQ(shown->font.FamilyAndStyle(), be_plain_font->FamilyAndStyle());
}

} // namespace
