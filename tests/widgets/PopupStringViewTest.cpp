// Popup labels: a click shows the whole text in a borderless floating window over the label
// or its window, in the label's colours and font inside a black pixel, for two seconds; the
// popup and its timer go with the view.

#include "ViewTestUtil.h"

#include <PopupStringView.h>

#include <Font.h>
#include <Messenger.h>
#include <OS.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr const char* kLong = "Velmor v0.31 \xe2\x80\x94 a label far wider than its view";
constexpr rgb_color kHigh = {0, 0, 200, 255};
constexpr rgb_color kView = {230, 220, 200, 255};
constexpr rgb_color kLow = {10, 20, 30, 255};

class PopupStringViewTest : public ::testing::Test
{
protected:
    // A running window (100, 100)-(499, 399) with a label at (30, 40)-(109, 55).
    PopupStringView* Open(popup_place place, const char* text = kLong)
    {
        fWindow = fFixture.NewWindow();
        auto* label = new PopupStringView(place, BRect(30, 40, 109, 55), "fVersion", text);
        label->SetHighColor(kHigh);
        label->SetViewColor(kView);
        label->SetLowColor(kLow);
        BFont font(be_bold_font);
        font.SetSize(14);
        label->SetFont(&font);
        fWindow->AddChild(label);
        fFixture.Start(fWindow);
        fPopup = label->PopupWindow();
        return label;
    }

    // Clicks the label and waits until both windows have handled what followed.
    void Click(BPoint where = BPoint(5, 5))
    {
        fFixture.Display().Click(fWindow, "fVersion", where);
        ASSERT_TRUE(fFixture.Sync(fWindow));
        ASSERT_TRUE(fFixture.Sync(fWindow)); // the activations the click posted
        ASSERT_TRUE(fFixture.Sync(fPopup));  // the popup's views follow its new size
    }

    kit_private::ShownWindow Shown() { return fFixture.Display().Window(fPopup).value(); }

    bool Visible() { return Shown().visible; }

    // How long, from now, until the popup hides (or the limit passes).
    bigtime_t TimeToHide(bigtime_t limit = 10000000)
    {
        bigtime_t start = system_time();
        while (Visible() && system_time() - start < limit)
            snooze(20000);
        return system_time() - start;
    }

    viewtest::Fixture fFixture;
    viewtest::RecordingWindow* fWindow = nullptr;
    BWindow* fPopup = nullptr;
};

TEST_F(PopupStringViewTest, AClickShowsTheWholeTextFramedInTheLabelsColoursAndFont)
{
    struct Case
    {
        popup_place place;
        float left; // screen
        float top;
    };
    // The label's top-left on screen is (130, 140).
    const Case cases[] = {{POPUP_ON_VIEW, 128, 138}, {POPUP_CENTER_WINDOW, -1, 140}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        PopupStringView* label = Open(c.place);
        BFont font;
        ASSERT_TRUE(fWindow->Lock());
        label->GetFont(&font);
        float textWidth = std::ceil(label->StringWidth(kLong));
        font_height height;
        label->GetFontHeight(&height);
        fWindow->Unlock();
        ASSERT_FALSE(Visible());

        Click();
        kit_private::ShownWindow popup = Shown();
        EXPECT_TRUE(popup.visible);
        EXPECT_EQ(popup.look, static_cast<uint32>(B_NO_BORDER_WINDOW_LOOK));
        EXPECT_EQ(popup.feel, static_cast<uint32>(B_FLOATING_APP_WINDOW_FEEL));
        EXPECT_TRUE(fWindow->IsActive()); // the keyboard stays with the label's window

        float width = textWidth + 5;
        float tall = std::ceil(height.ascent + height.descent) + 5;
        EXPECT_FLOAT_EQ(popup.frame.Width(), width);
        EXPECT_FLOAT_EQ(popup.frame.Height(), tall);
        float left = c.left >= 0 ? c.left : 100 + (399 - width) / 2;
        EXPECT_EQ(popup.frame.LeftTop(), BPoint(left, c.top));

        const kit_private::ShownView* back = popup.Find("back");
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->viewColor, make_color(0, 0, 0));
        EXPECT_EQ(back->frame, BRect(0, 0, width, tall));
        ASSERT_EQ(back->children.size(), 1u);
        const kit_private::ShownView& text = popup.views.at(back->children[0]);
        EXPECT_EQ(text.label, kLong);
        EXPECT_EQ(text.frame, BRect(1, 1, width - 1, tall - 1)); // one black pixel around
        EXPECT_EQ(text.highColor, kHigh);
        EXPECT_EQ(text.viewColor, kView);
        EXPECT_EQ(text.lowColor, kLow);
        EXPECT_EQ(text.font, font);

        ASSERT_TRUE(fWindow->Lock());
        fWindow->Quit();
    }
}

TEST_F(PopupStringViewTest, ThePopupHidesTwoSecondsAfterTheLatestClick)
{
    Open(POPUP_ON_VIEW);
    bigtime_t first = system_time();
    Click();
    ASSERT_TRUE(Visible());
    snooze(1200000);
    bigtime_t second = system_time();
    Click();
    bigtime_t left = TimeToHide();
    EXPECT_FALSE(Visible());
    bigtime_t hidden = system_time();
    EXPECT_GE(hidden - second, 1900000) << "hidden by the first click's timer";
    EXPECT_GE(hidden - first, 3000000);
    EXPECT_LT(left, 10000000);

    // And it shows again on the next click.
    Click();
    EXPECT_TRUE(Visible());
}

TEST_F(PopupStringViewTest, AClickOutsideTheLabelShowsNothing)
{
    Open(POPUP_CENTER_WINDOW);
    // Delivered to the label, but the pointer is already elsewhere.
    for (BPoint where : {BPoint(-3, 5), BPoint(5, 40), BPoint(80, 5)}) {
        Click(where);
        EXPECT_FALSE(Visible()) << where.x << "," << where.y;
    }
}

TEST_F(PopupStringViewTest, TextSetWhileHiddenIsShownByTheNextPopup)
{
    PopupStringView* label = Open(POPUP_ON_VIEW, "short");
    Click();
    float narrow = Shown().frame.Width();
    TimeToHide();
    ASSERT_FALSE(Visible());

    ASSERT_TRUE(fWindow->Lock());
    label->SetText(kLong);
    fWindow->Unlock();
    Click();
    kit_private::ShownWindow popup = Shown();
    EXPECT_TRUE(popup.visible);
    EXPECT_GT(popup.frame.Width(), narrow);
    const kit_private::ShownView* back = popup.Find("back");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(popup.views.at(back->children.at(0)).label, kLong);
}

TEST_F(PopupStringViewTest, TheViewGoesRightAfterClicksWithItsPopupAndTimers)
{
    struct Case
    {
        const char* name;
        bool withWindow; // the view goes with its window, or alone
    };
    for (const Case c : {Case{"alone", false}, Case{"with its window", true}}) {
        SCOPED_TRACE(c.name);
        PopupStringView* label = Open(POPUP_ON_VIEW);
        BMessenger popup(nullptr, fPopup);
        int32 popupId = Shown().looperId;
        for (int i = 0; i < 3; i++)
            fFixture.Display().Click(fWindow, "fVersion", BPoint(5, 5));
        ASSERT_TRUE(fFixture.Sync(fWindow)); // a timer runs
        fFixture.Display().Click(fWindow, "fVersion", BPoint(5, 5));
        ASSERT_TRUE(fWindow->Lock());
        if (c.withWindow) {
            fWindow->Quit();
        } else {
            label->RemoveSelf();
            delete label;
            fWindow->Unlock();
        }
        EXPECT_FALSE(popup.IsValid());
        bool quit = true;
        for (const kit_private::ShownWindow& shown : fFixture.Display().Windows()) {
            if (shown.looperId == popupId)
                quit = shown.quit;
        }
        EXPECT_TRUE(quit);
        // A timer still running would touch the freed view within its two seconds.
        snooze(2300000);
        if (!c.withWindow) {
            ASSERT_TRUE(fWindow->Lock());
            fWindow->Quit();
        }
    }
}

TEST_F(PopupStringViewTest, ThePopupQuitFirstAsOnQuittingTheApplicationIsLeftAlone)
{
    PopupStringView* label = Open(POPUP_ON_VIEW);
    Click(); // a timer runs
    BMessenger popup(nullptr, fPopup);
    // The application quits every window, the popup perhaps before the label's.
    ASSERT_TRUE(popup.LockTarget());
    fPopup->Quit();
    ASSERT_FALSE(popup.IsValid());

    fFixture.Display().Click(fWindow, "fVersion", BPoint(5, 5));
    ASSERT_TRUE(fWindow->Lock());
    label->SetText("after");
    BFont font(be_plain_font);
    label->SetFont(&font);
    fWindow->Unlock();
    ASSERT_TRUE(fFixture.Sync(fWindow));
    snooze(2300000); // the timer's time comes and goes
    ASSERT_TRUE(fWindow->Lock());
    fWindow->Quit();
}

} // namespace
