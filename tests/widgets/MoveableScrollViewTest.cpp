// The scroll view with a draggable left edge: the resize cursor on the edge of an active
// window only, drags that follow mouse messages within their limits and report each step,
// and presses elsewhere that do nothing.

#include "ViewTestUtil.h"

#include <MoveableScrollView.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using viewtest::Fixture;

class MoveableScrollViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fWindow = fFixture.NewWindow();
        auto* panel = new BView(fWindow->Bounds(), "panel", B_FOLLOW_ALL, 0);
        auto* list = new BView(BRect(300, 10, 360, 200), "list", B_FOLLOW_NONE, 0);
        fScroll = new MoveableScrollView("fUserScroll", list, B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT,
                                         0, false, true);
        fScroll->SetMovedHook([this](BRect old) { fSteps.push_back({old, fScroll->Frame()}); });
        panel->AddChild(fScroll);
        fWindow->AddChild(panel);
        fFixture.Start(fWindow);
        fStart = Frame();
    }

    BRect Frame() { return fFixture.Display().View(fWindow, "fUserScroll")->frame; }
    bool EdgeHasCursor() { return fFixture.Display().View(fWindow, "fEdge")->hasCursor; }

    // Moves the pointer, button held, so that the edge grabbed 2 pixels in would be at left.
    void DragTo(float left, uint32 buttons = 1)
    {
        const float x = left + 2 - Frame().left;
        fFixture.Display().MoveMouse(fWindow, "fEdge", BPoint(x, 50), buttons);
        ASSERT_TRUE(fFixture.Sync(fWindow));
    }

    struct Step
    {
        BRect before;
        BRect after;
    };

    Fixture fFixture;
    viewtest::RecordingWindow* fWindow = nullptr;
    MoveableScrollView* fScroll = nullptr;
    BRect fStart;
    std::vector<Step> fSteps; // window thread; read after Sync
};

TEST_F(MoveableScrollViewTest, TheEdgeShowsTheResizeCursorOnlyInAnActiveWindow)
{
    fFixture.Display().ActivateWindow(fWindow, false);
    ASSERT_TRUE(fFixture.Sync(fWindow));
    EXPECT_FALSE(EdgeHasCursor());
    fFixture.Display().ActivateWindow(fWindow, true);
    ASSERT_TRUE(fFixture.Sync(fWindow));
    EXPECT_TRUE(EdgeHasCursor());
    EXPECT_EQ(fScroll->CursorState(), MoveableScrollView::kResizeCursor);
    // The edge covers the left 5 pixels and follows the view's height.
    auto edge = fFixture.Display().View(fWindow, "fEdge");
    EXPECT_EQ(edge->frame, BRect(0, 0, 5, fStart.Height()));
    fFixture.Display().ActivateWindow(fWindow, false);
    ASSERT_TRUE(fFixture.Sync(fWindow));
    EXPECT_FALSE(EdgeHasCursor());
    EXPECT_EQ(fScroll->CursorState(), MoveableScrollView::kNormalCursor);
}

TEST_F(MoveableScrollViewTest, ADragFollowsTheMouseWithinItsLimitsAndReportsEachStep)
{
    fFixture.Display().ActivateWindow(fWindow, true);
    fFixture.Display().PressMouse(fWindow, "fEdge", BPoint(2, 50));
    ASSERT_TRUE(fFixture.Sync(fWindow));
    struct Case
    {
        float pointerLeft;
        float left; // where the edge ends up
    };
    const Case cases[] = {
        {250, 250},                             // wider
        {320, 320},                             // narrower
        {fStart.right - 10, fStart.right - 19}, // no narrower than 19
        {5, 19},                                // no further left than 19
        {-40, 19},
        {100, 100},
    };
    for (const Case& c : cases) {
        const BRect before = Frame();
        const size_t steps = fSteps.size();
        DragTo(c.pointerLeft);
        const BRect after = Frame();
        EXPECT_EQ(after.left, c.left) << "pointer at " << c.pointerLeft;
        EXPECT_EQ(after.right, fStart.right);
        EXPECT_EQ(after.top, fStart.top);
        EXPECT_EQ(after.bottom, fStart.bottom);
        if (before.left != after.left) {
            ASSERT_EQ(fSteps.size(), steps + 1);
            EXPECT_EQ(fSteps.back().before, before);
            EXPECT_EQ(fSteps.back().after, after);
        } else {
            EXPECT_EQ(fSteps.size(), steps) << "no step, no report";
        }
    }
    // The target follows the scroll view's width.
    EXPECT_EQ(fFixture.Display().View(fWindow, "list")->frame.left, 2);
    fFixture.Display().ReleaseMouse(fWindow, "fEdge", BPoint(2, 50));
    ASSERT_TRUE(fFixture.Sync(fWindow));
    EXPECT_FALSE(fScroll->IsDragging());
    DragTo(200);
    EXPECT_EQ(Frame().left, 100) << "moves after the release do nothing";
}

TEST_F(MoveableScrollViewTest, AReleaseTheWindowMissedEndsTheDragAtTheNextMove)
{
    fFixture.Display().PressMouse(fWindow, "fEdge", BPoint(2, 50));
    DragTo(200);
    EXPECT_EQ(Frame().left, 200);
    DragTo(150, 0);
    EXPECT_FALSE(fScroll->IsDragging());
    DragTo(120);
    EXPECT_EQ(Frame().left, 200);
}

TEST_F(MoveableScrollViewTest, PressesAwayFromTheEdgeAndOwnersLimitsKeepTheViewInPlace)
{
    // The scroll view's own border, far from the left edge: nothing.
    fFixture.Display().PressMouse(fWindow, "fUserScroll", BPoint(40, fStart.Height()));
    DragTo(200);
    EXPECT_EQ(Frame(), fStart);
    fFixture.Display().ReleaseMouse(fWindow, "fUserScroll", BPoint(40, fStart.Height()));

    // The border at the very left counts as the edge, and an owner's limit holds.
    ASSERT_TRUE(fWindow->Lock());
    fScroll->SetMinLeft(150);
    fWindow->Unlock();
    fFixture.Display().PressMouse(fWindow, "fUserScroll", BPoint(0, 50));
    ASSERT_TRUE(fFixture.Sync(fWindow));
    fFixture.Display().MoveMouse(fWindow, "fUserScroll", BPoint(-250, 50), 1);
    ASSERT_TRUE(fFixture.Sync(fWindow));
    EXPECT_EQ(Frame().left, 150);
}

} // namespace
