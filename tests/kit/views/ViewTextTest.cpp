// Text views as models: bytes and style runs after inserts and re-styling, links, and the
// edits a native editor reports.

#include "ViewTestUtil.h"

#include <TextBuffer.h>
#include <TextControl.h>
#include <TextView.h>
#include <ViewMessages.h>
#include <Window.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

using viewtest::Fixture;

namespace {

constexpr rgb_color kBlue = {0, 0, 200, 200};
constexpr rgb_color kPlain = {0, 0, 0, 200};

BFont Sized(const BFont* base, float size)
{
    BFont font(base);
    font.SetSize(size);
    return font;
}

// Two runs, as a conversation line has: the prefix in one font and colour, the rest in another.
text_run_array* TwoRuns(int32 second, const BFont& first, const BFont& rest)
{
    text_run_array* runs = BTextView::AllocRunArray(2);
    runs->runs[0] = {0, first, kBlue};
    runs->runs[1] = {second, rest, kPlain};
    return runs;
}

struct RunText
{
    int32 offset;
    uint32 family;
    float size;
    rgb_color color;
    bool operator==(const RunText&) const = default;
};

std::vector<RunText> RunsOf(BTextView* view, int32 start, int32 end)
{
    std::vector<RunText> out;
    text_run_array* runs = view->RunArray(start, end);
    for (int32 i = 0; i < runs->count; i++) {
        const text_run& run = runs->runs[i];
        out.push_back({run.offset, run.font.FamilyAndStyle(), run.font.Size(), run.color});
    }
    BTextView::FreeRunArray(runs);
    return out;
}

std::vector<RunText> RunsShown(const kit_private::ShownView& view)
{
    std::vector<RunText> out;
    for (const auto& run : view.runs)
        out.push_back({run.offset, run.font.FamilyAndStyle(), run.font.Size(), run.color});
    return out;
}

class TextViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = fixture.NewWindow();
        view = new BTextView(BRect(0, 0, 300, 200), "text", BRect(0, 0, 300, 200), B_FOLLOW_ALL,
                             B_WILL_DRAW);
        view->SetStylable(true);
        view->MakeEditable(false);
        window->AddChild(view);
        fixture.Start(window);
        ASSERT_TRUE(window->Lock());
    }
    void TearDown() override { window->Unlock(); }

    kit_private::ShownView Shown()
    {
        window->Unlock();
        auto shown = fixture.Display().View(window, "text");
        EXPECT_TRUE(window->Lock());
        return shown.value_or(kit_private::ShownView{});
    }

    Fixture fixture;
    BWindow* window = nullptr;
    BTextView* view = nullptr;
    BFont bold = Sized(be_bold_font, 12);
    BFont fixed = Sized(be_fixed_font, 12);
};

TEST_F(TextViewTest, AppendedLinesKeepTheirRuns)
{
    text_run_array* runs = TwoRuns(8, bold, fixed);
    view->Insert(view->TextLength(), "[12:05] <bob> hello\n", 20, runs);
    view->Insert(view->TextLength(), "[12:06] <amy> hi\n", 17, runs);
    BTextView::FreeRunArray(runs);

    EXPECT_STREQ(view->Text(), "[12:05] <bob> hello\n[12:06] <amy> hi\n");
    std::vector<RunText> expected = {
        {0, bold.FamilyAndStyle(), 12, kBlue},
        {8, fixed.FamilyAndStyle(), 12, kPlain},
        {20, bold.FamilyAndStyle(), 12, kBlue},
        {28, fixed.FamilyAndStyle(), 12, kPlain},
    };
    EXPECT_EQ(RunsOf(view, 0, view->TextLength()), expected);
    // A slice reports its runs relative to its start.
    std::vector<RunText> slice = {{0, fixed.FamilyAndStyle(), 12, kPlain},
                                  {2, bold.FamilyAndStyle(), 12, kBlue}};
    EXPECT_EQ(RunsOf(view, 18, 22), slice);

    kit_private::ShownView shown = Shown();
    EXPECT_EQ(shown.text, view->Text());
    EXPECT_EQ(RunsShown(shown), expected);
}

TEST_F(TextViewTest, ALongScrollbackIsHeldOnceAndShownWhole)
{
    // Past the point where the text moves into a block the display server shares, the shown
    // text keeps every line in order, the server holds no copy of its own, and an edit that
    // is not an append gives both sides bytes of their own again.
    text_run_array* runs = TwoRuns(8, bold, fixed);
    std::string expected;
    char line[64];
    for (int i = 0; expected.size() < 3 * kit_private::TextBuffer::kShareAbove; i++) {
        int length = snprintf(line, sizeof(line), "[12:%02d] <bob> line %d\n", i % 60, i);
        view->Insert(view->TextLength(), line, length, runs);
        expected.append(line, static_cast<size_t>(length));
        if (i % 5000 == 0)
            Shown(); // the server takes the text in several batches
    }
    BTextView::FreeRunArray(runs);
    kit_private::ShownView shown = Shown();
    EXPECT_EQ(shown.text.size(), expected.size());
    EXPECT_TRUE(shown.text == expected);
    EXPECT_TRUE(shown.text.Shares());
    EXPECT_EQ(shown.runs.size(), RunsOf(view, 0, view->TextLength()).size());

    view->Delete(0, 8);
    view->Insert(view->TextLength(), "end\n", 4, nullptr);
    expected = expected.substr(8) + "end\n";
    EXPECT_STREQ(view->Text(), expected.c_str());
    shown = Shown();
    EXPECT_TRUE(shown.text == expected);
}

TEST_F(TextViewTest, RunsAfterRandomEditsAreThoseOfEveryByte)
{
    // The style of every byte, kept beside the view: inserts with their own runs anywhere,
    // deletions anywhere, and the view's runs must be exactly the changes of style.
    struct Style
    {
        const BFont* font;
        rgb_color color;
        bool operator==(const Style& other) const
        {
            return font == other.font && color == other.color;
        }
    };
    const Style styles[] = {{&bold, kBlue}, {&bold, kPlain}, {&fixed, kBlue}, {&fixed, kPlain}};
    std::vector<Style> bytes;
    std::mt19937 random(11);
    auto below = [&random](size_t n) { return n == 0 ? 0 : random() % n; };
    for (int round = 0; round < 3000; round++) {
        const int32 length = view->TextLength();
        if (length > 40 && below(4) == 0) {
            int32 start = static_cast<int32>(below(static_cast<size_t>(length)));
            int32 end = std::min(length, start + 1 + static_cast<int32>(below(12)));
            view->Delete(start, end);
            bytes.erase(bytes.begin() + start, bytes.begin() + end);
        } else {
            // Mostly at the end, as a scrollback grows, but also anywhere before it.
            int32 at = below(3) != 0 ? length : static_cast<int32>(below(length + 1));
            int32 count = 1 + static_cast<int32>(below(3));
            text_run_array* runs = BTextView::AllocRunArray(count);
            std::string text;
            for (int32 k = 0; k < count; k++) {
                const Style& style = styles[below(4)];
                runs->runs[k] = {static_cast<int32>(text.size()), *style.font, style.color};
                size_t piece = 1 + below(6);
                text.append(piece, static_cast<char>('a' + k));
                bytes.insert(bytes.begin() + at + static_cast<int32>(text.size() - piece), piece,
                             style);
            }
            view->Insert(at, text.data(), static_cast<int32>(text.size()), runs);
            BTextView::FreeRunArray(runs);
        }
        ASSERT_EQ(static_cast<size_t>(view->TextLength()), bytes.size());
        if (round % 50 != 0 || bytes.empty())
            continue;
        std::vector<RunText> expected;
        for (size_t i = 0; i < bytes.size(); i++) {
            if (i == 0 || !(bytes[i] == bytes[i - 1]))
                expected.push_back(
                    {static_cast<int32>(i), bytes[i].font->FamilyAndStyle(), 12, bytes[i].color});
        }
        ASSERT_EQ(RunsOf(view, 0, view->TextLength()), expected) << "round " << round;
    }
}

TEST_F(TextViewTest, TextWithoutRunsContinuesTheStyleBeforeIt)
{
    text_run_array* runs = TwoRuns(2, bold, fixed);
    view->Insert(0, "ab", 2, runs);
    BTextView::FreeRunArray(runs);
    view->Insert(view->TextLength(), "cd", 2, nullptr);
    std::vector<RunText> expected = {{0, bold.FamilyAndStyle(), 12, kBlue}};
    EXPECT_EQ(RunsOf(view, 0, 4), expected);
}

TEST_F(TextViewTest, RestylingByFamilyChangesOnlyThoseRuns)
{
    text_run_array* runs = TwoRuns(4, bold, fixed);
    view->Insert(0, "abcdefgh", 8, runs);
    view->Insert(8, "ijklmnop", 8, runs);
    BTextView::FreeRunArray(runs);

    // As a font menu does: every run in the fixed family takes the new size.
    BFont bigger = Sized(be_fixed_font, 20);
    text_run_array* all = view->RunArray(0, view->TextLength());
    font_family old;
    fixed.GetFamilyAndStyle(&old, nullptr);
    for (int32 i = 0; i < all->count; i++) {
        font_family family;
        all->runs[i].font.GetFamilyAndStyle(&family, nullptr);
        if (strcmp(family, old) == 0)
            all->runs[i].font = bigger;
    }
    view->SetRunArray(0, view->TextLength(), all);
    BTextView::FreeRunArray(all);

    std::vector<RunText> expected = {
        {0, bold.FamilyAndStyle(), 12, kBlue},
        {4, fixed.FamilyAndStyle(), 20, kPlain},
        {8, bold.FamilyAndStyle(), 12, kBlue},
        {12, fixed.FamilyAndStyle(), 20, kPlain},
    };
    EXPECT_EQ(RunsOf(view, 0, 16), expected);
    EXPECT_EQ(RunsShown(Shown()), expected);
}

TEST_F(TextViewTest, RestylingPartOfTheTextKeepsTheStyleAfterIt)
{
    text_run_array* runs = TwoRuns(100, bold, fixed); // one run: bold
    view->Insert(0, "0123456789", 10, runs);
    BTextView::FreeRunArray(runs);
    text_run_array* middle = BTextView::AllocRunArray(1);
    middle->runs[0] = {0, fixed, kPlain};
    view->SetRunArray(3, 6, middle);
    BTextView::FreeRunArray(middle);
    std::vector<RunText> expected = {{0, bold.FamilyAndStyle(), 12, kBlue},
                                     {3, fixed.FamilyAndStyle(), 12, kPlain},
                                     {6, bold.FamilyAndStyle(), 12, kBlue}};
    EXPECT_EQ(RunsOf(view, 0, 10), expected);
    EXPECT_EQ(RunsShown(Shown()), expected);
}

TEST_F(TextViewTest, PlainTextViewsIgnoreRuns)
{
    view->SetStylable(false);
    text_run_array* runs = TwoRuns(1, bold, fixed);
    view->Insert(0, "ab", 2, runs);
    BTextView::FreeRunArray(runs);
    BFont font;
    rgb_color color;
    view->GetFontAndColor(&font, &color);
    std::vector<RunText> expected = {{0, font.FamilyAndStyle(), font.Size(), color}};
    EXPECT_EQ(RunsOf(view, 0, 2), expected);
}

TEST_F(TextViewTest, EditsNeverSplitACharacter)
{
    view->SetText("a\xc3\xa9"
                  "b");      // a é b
    view->Insert(2, "x", 1); // offset 2 is inside é
    EXPECT_STREQ(view->Text(), "ax\xc3\xa9"
                               "b");
    view->Delete(3, 4); // the second byte of é: the whole character goes
    EXPECT_STREQ(view->Text(), "axb");
}

TEST_F(TextViewTest, LinksMoveWithTheirTextAndGoWithIt)
{
    view->SetText("see http://x.org now");
    int32 link = view->AddLink(4, 16, make_color(0, 0, 255), new BMessage('Aurl'));
    ASSERT_GE(link, 0);
    EXPECT_EQ(view->AddLink(5, 5, make_color(0, 0, 255), new BMessage('Aurl')), -1);

    view->Insert(0, ">> ", 3);
    int32 start = 0;
    int32 end = 0;
    ASSERT_TRUE(view->GetLink(link, &start, &end));
    EXPECT_EQ(start, 7);
    EXPECT_EQ(end, 19);
    kit_private::ShownView shown = Shown();
    ASSERT_EQ(shown.links.size(), 1u);
    EXPECT_EQ(shown.links[0].start, 7);
    EXPECT_EQ(shown.links[0].end, 19);

    view->Delete(0, 3); // before the link: it moves back
    ASSERT_TRUE(view->GetLink(link, &start, &end));
    EXPECT_EQ(start, 4);
    view->Delete(10, 12); // inside it: it goes
    EXPECT_EQ(view->CountLinks(), 0);
    EXPECT_TRUE(Shown().links.empty());

    view->AddLink(0, 3, make_color(0, 0, 255), new BMessage('Aurl'));
    view->SetText("");
    EXPECT_EQ(view->CountLinks(), 0);
}

class LinkView : public BTextView
{
public:
    LinkView() : BTextView(BRect(0, 0, 99, 99), "links", BRect(0, 0, 99, 99), B_FOLLOW_ALL, 0) {}
    void MessageReceived(BMessage* message) override
    {
        if (message->what == 'Aurl')
            clicked.push_back(*message);
        BTextView::MessageReceived(message);
    }
    std::vector<BMessage> clicked;
};

TEST(TextViewLinks, AClickedLinkSendsItsMessageToTheView)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* view = new LinkView();
    window->AddChild(view);
    view->SetText("a http://one b http://two");
    auto* message = new BMessage('Aurl');
    message->AddString("url", "http://two");
    int32 second = view->AddLink(2, 12, make_color(0, 0, 255), new BMessage('Aurl'));
    int32 third = view->AddLink(15, 25, make_color(0, 0, 255), message);
    EXPECT_NE(second, third);
    fixture.Start(window);

    fixture.Display().ClickLink(window, "links", third);
    fixture.Display().ClickLink(window, "links", 999); // unknown: nothing
    // The click posts the link's message, which is handled after the click itself.
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    ASSERT_EQ(view->clicked.size(), 1u);
    const char* url = nullptr;
    ASSERT_EQ(view->clicked[0].FindString("url", &url), B_OK);
    EXPECT_STREQ(url, "http://two");
    window->Unlock();
}

TEST_F(TextViewTest, ReadOnlyKeysScrollAndTheEndIsAskedFor)
{
    view->SetText("one\ntwo\n");
    view->ScrollToOffset(view->TextLength());
    view->MakeFocus();
    window->Unlock();
    fixture.Display().PressKey(window, "\x0c"); // page down
    fixture.Display().PressKey(window, "\x1e"); // up arrow
    ASSERT_TRUE(fixture.Sync(window));
    auto shown = fixture.Display().View(window, "text");
    EXPECT_EQ(shown->scrolledTo, 8);
    EXPECT_EQ(shown->scrollSteps, 2);
    ASSERT_TRUE(window->Lock());
    EXPECT_STREQ(view->Text(), "one\ntwo\n"); // not editable: keys change nothing
}

TEST(TextViewEditor, TypingAndAStaleEditThatIsResent)
{
    Fixture fixture;
    auto* window = fixture.NewWindow();
    auto* control = new BTextControl(BRect(0, 0, 200, 20), "entry", nullptr, "", nullptr);
    window->AddChild(control);
    fixture.Start(window);

    fixture.Display().Type(window, "entry", "hi");
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_STREQ(control->Text(), "hi");
    int32 start, end;
    control->TextView()->GetSelection(&start, &end);
    EXPECT_EQ(start, 2);

    // The program empties the field; an edit the editor made before it saw that arrives late.
    control->SetText("");
    auto before = fixture.Display().View(window, "_input_");
    BMessage stale(kit_private::kMsgTextEdited);
    stale.AddString(kit_private::kFieldText, "hix");
    stale.AddInt32(kit_private::kFieldSelectionStart, 3);
    stale.AddInt32(kit_private::kFieldSelectionEnd, 3);
    stale.AddInt64(kit_private::kFieldBase, before->textVersion - 1);
    window->PostMessage(&stale, control->TextView());
    window->Unlock();
    ASSERT_TRUE(fixture.Sync(window));
    ASSERT_TRUE(window->Lock());
    EXPECT_STREQ(control->Text(), "");
    window->Unlock();
    EXPECT_EQ(fixture.Display().View(window, "_input_")->text, "");
}

} // namespace
