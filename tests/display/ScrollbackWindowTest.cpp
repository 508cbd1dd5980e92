// The scrollback of a real conversation window: links recorded and handed to the display at
// the right offsets, "/clear", clicks that open links, keys, and following the end.

#include "DisplayFixture.h"

#include <IrcDisplayWindow.h>
#include <UrlTextView.h>

#include <OS.h>
#include <Roster.h>
#include <TextControl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace displaytest {
namespace {

using kit_private::StyleRun;

class ScrollbackTest : public DisplayFixture
{
protected:
    void TearDown() override
    {
        set_roster_opener(nullptr);
        DisplayFixture::TearDown();
    }

    // The window's anchors, copied under its lock.
    std::vector<UrlAnchor> Anchors(IrcDisplayWindow* window)
    {
        std::vector<UrlAnchor> anchors;
        EXPECT_TRUE(window->Lock());
        auto* view = static_cast<UrlTextView*>(window->FindView("fDisplay"));
        anchors.assign(view->Anchors().begin(), view->Anchors().end());
        window->Unlock();
        return anchors;
    }

    // Appends as the event display does, on the test's thread with the window locked.
    void AppendLocked(IrcDisplayWindow* window, const char* text, const text_run_array* runs)
    {
        ASSERT_TRUE(window->Lock());
        window->Append(text, runs);
        window->Unlock();
        fDisplay->Sync(window);
    }

    std::string EntryText(IrcDisplayWindow* window)
    {
        EXPECT_TRUE(window->Lock());
        std::string text = static_cast<BTextControl*>(window->FindView("TextControl"))->Text();
        window->Unlock();
        return text;
    }

    // The scrollback takes the focus (the headless display learns of it from the window).
    void FocusScrollback(IrcDisplayWindow* window)
    {
        ASSERT_TRUE(window->Lock());
        window->FindView("fDisplay")->MakeFocus(true);
        window->Unlock();
        fDisplay->Sync(window);
    }

    StyleRun RunAt(IrcDisplayWindow* window, size_t offset) const
    {
        StyleRun found{};
        for (const StyleRun& run : View(window, "fDisplay").runs) {
            if (static_cast<size_t>(run.offset) <= offset)
                found = run;
        }
        return found;
    }

    // An opener that writes each URL it is given as a line of a file.
    std::string RecordOpens()
    {
        std::string script = fOpens / "opener";
        std::string out = fOpens / "opened";
        std::ofstream file(script);
        file << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << out << "'\n";
        file.close();
        chmod(script.c_str(), 0755);
        set_roster_opener(script.c_str());
        return out;
    }

    static std::vector<std::string> Lines(const std::string& path)
    {
        std::vector<std::string> lines;
        std::ifstream file(path);
        for (std::string line; std::getline(file, line);)
            lines.push_back(line);
        return lines;
    }

    testsupport::TempDir fOpens;
};

TEST_F(ScrollbackTest, LinksOfALineAreRecordedAndHandedToTheDisplayAtTheirOffsets)
{
    IrcDisplayWindow* chan = Join("#chan");
    ASSERT_NE(chan, nullptr);
    const size_t before = Anchors(chan).size();
    const size_t base = Text(chan).size();
    Feed(":bob!b@h PRIVMSG #chan :see http://x.org/a, and WWW.Y.org");
    const std::string text = Text(chan);
    ASSERT_EQ(text.substr(base), "[12:05] <bob> see http://x.org/a, and WWW.Y.org\n");
    const int32 first = static_cast<int32>(text.find("http://x.org/a,"));
    const int32 second = static_cast<int32>(text.find("WWW.Y.org"));

    std::vector<UrlAnchor> anchors = Anchors(chan);
    ASSERT_EQ(anchors.size(), before + 2);
    EXPECT_EQ(anchors[before].start, first);
    EXPECT_EQ(anchors[before].end, first + 16); // one past the blank after the link
    EXPECT_EQ(anchors[before].url, "http://x.org/a,");
    EXPECT_EQ(anchors[before + 1].start, second);
    EXPECT_EQ(anchors[before + 1].end, second + 10); // one past the newline
    EXPECT_EQ(anchors[before + 1].url, "http://WWW.Y.org");

    // The display underlines exactly the link texts, in the link colour.
    std::vector<kit_private::change::TextLink> links = View(chan, "fDisplay").links;
    ASSERT_EQ(links.size(), before + 2);
    EXPECT_EQ(links[before].start, first);
    EXPECT_EQ(links[before].end, first + 15);
    EXPECT_EQ(links[before + 1].start, second);
    EXPECT_EQ(links[before + 1].end, second + 9);
    EXPECT_EQ(links[before + 1].color, UrlTextView::kUnderline);
}

TEST_F(ScrollbackTest, ALineIsCleanedWithItsRunsAndLinksFollowingTheCleanedText)
{
    IrcDisplayWindow* chan = Join("#chan");
    const size_t base = Text(chan).size();
    // Formatting codes and a Latin-1 nick before the body, a Latin-1 word inside it.
    const char raw[] = "\x02[12:05] <b\xe9"
                       "b>\x02 caf\xe9 http://x.org\n";
    text_run_array* runs = BTextView::AllocRunArray(2);
    runs->runs[0] = {0, *be_bold_font, IrcDisplayWindow::kEventBlue};
    runs->runs[1] = {static_cast<int32>(strlen("\x02[12:05] <b\xe9"
                                               "b>\x02")),
                     *be_fixed_font, IrcDisplayWindow::kPlain};
    AppendLocked(chan, raw, runs);
    BTextView::FreeRunArray(runs);

    const std::string shown = "[12:05] <b\xc3\xa9"
                              "b> caf\xc3\xa9 http://x.org\n";
    ASSERT_EQ(Text(chan).substr(base), shown);
    const size_t body = base + shown.find(" caf");
    EXPECT_EQ(RunAt(chan, base).color, IrcDisplayWindow::kEventBlue);
    EXPECT_EQ(RunAt(chan, body - 1).color, IrcDisplayWindow::kEventBlue);
    EXPECT_EQ(RunAt(chan, body).color, IrcDisplayWindow::kPlain);
    EXPECT_EQ(RunAt(chan, body).font, *be_fixed_font);
    std::vector<UrlAnchor> anchors = Anchors(chan);
    ASSERT_FALSE(anchors.empty());
    EXPECT_EQ(anchors.back().start, static_cast<int32>(base + shown.find("http")));

    // Nothing to show: nothing inserted, nothing recorded.
    const size_t length = Text(chan).size();
    AppendLocked(chan, "", nullptr);
    AppendLocked(chan, "\x02\x03\r", nullptr);
    EXPECT_EQ(Text(chan).size(), length);
    EXPECT_EQ(Anchors(chan).size(), anchors.size());
}

TEST_F(ScrollbackTest, ClearRemovesTheLinksAndNewOffsetsStartFromZero)
{
    IrcDisplayWindow* chan = Join("#chan");
    Feed(std::vector<std::string>{":bob!b@h PRIVMSG #chan :one http://a.org",
                                  ":bob!b@h PRIVMSG #chan :two www.b.org"});
    ASSERT_GE(Anchors(chan).size(), 2u);

    Enter(chan, "/clear");
    EXPECT_EQ(Text(chan), "");
    EXPECT_TRUE(Anchors(chan).empty());
    EXPECT_TRUE(View(chan, "fDisplay").links.empty());

    Feed(":bob!b@h PRIVMSG #chan :three http://c.org");
    ASSERT_EQ(Text(chan), "[12:05] <bob> three http://c.org\n");
    std::vector<UrlAnchor> anchors = Anchors(chan);
    ASSERT_EQ(anchors.size(), 1u);
    EXPECT_EQ(anchors[0].start, static_cast<int32>(strlen("[12:05] <bob> three ")));
    EXPECT_EQ(anchors[0].url, "http://c.org");
    std::vector<kit_private::change::TextLink> links = View(chan, "fDisplay").links;
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].start, anchors[0].start);
    // The first line after clearing keeps its own first run.
    EXPECT_EQ(RunAt(chan, 0).color, IrcDisplayWindow::kEventBlue);
}

TEST_F(ScrollbackTest, AReleaseOnALinkOpensItAndAPressElsewhereDoesNot)
{
    const std::string opened = RecordOpens();
    IrcDisplayWindow* chan = Join("#chan");
    Feed(":bob!b@h PRIVMSG #chan :read www.Example.org/a?b=c, now");
    std::vector<kit_private::change::TextLink> links = View(chan, "fDisplay").links;
    ASSERT_EQ(links.size(), 1u);

    // A press that the display did not end on the link: plain mouse messages only. The window
    // goes on handling lines meanwhile.
    fDisplay->Click(chan, "fDisplay", BPoint(5, 5));
    fDisplay->MoveMouse(chan, "fDisplay", BPoint(5, 60));
    Feed(":bob!b@h PRIVMSG #chan :still here");
    EXPECT_EQ(LastLine(chan), "[12:05] <bob> still here");

    fDisplay->ClickLink(chan, "fDisplay", links[0].index);
    // The click posts the link's message to the view, handled after the click itself.
    fDisplay->Sync(chan);
    fDisplay->Sync(chan);
    bool seen = false;
    for (int i = 0; i < 500 && !seen; i++) {
        seen = !Lines(opened).empty();
        if (!seen)
            snooze(10000);
    }
    ASSERT_TRUE(seen);
    snooze(50000);
    EXPECT_EQ(Lines(opened), (std::vector<std::string>{"http://www.Example.org/a?b=c,"}));
}

TEST_F(ScrollbackTest, KeysOtherThanScrollingGoToTheEntryLine)
{
    IrcDisplayWindow* chan = Join("#chan");
    const int32 steps = View(chan, "fDisplay").scrollSteps;
    FocusScrollback(chan);
    fDisplay->PressKey(chan, "\x0c"); // page down
    fDisplay->PressKey(chan, "\x1e"); // up arrow
    fDisplay->Sync(chan);
    EXPECT_EQ(View(chan, "fDisplay").scrollSteps, steps + 2);
    EXPECT_EQ(EntryText(chan), "");

    fDisplay->PressKey(chan, "h");
    fDisplay->Sync(chan);
    fDisplay->Sync(chan); // the forwarded key is its own message
    EXPECT_EQ(EntryText(chan), "h");
    FocusScrollback(chan); // the forwarded key moved the focus to the entry line
    fDisplay->PressKey(chan, "\xc3\xa9");
    fDisplay->Sync(chan);
    fDisplay->Sync(chan);
    EXPECT_EQ(EntryText(chan), "h\xc3\xa9");
}

TEST_F(ScrollbackTest, TheEndIsFollowedOnlyWhileTheReaderIsThere)
{
    IrcDisplayWindow* chan = Join("#chan");
    Feed(":bob!b@h PRIVMSG #chan :one");
    EXPECT_EQ(View(chan, "fDisplay").scrolledTo, static_cast<int32>(Text(chan).size()));

    // The reader scrolled back: the display reports the bar off its maximum.
    fDisplay->ReportScroll(chan, "_VSB_", 3, 10);
    const int32 kept = View(chan, "fDisplay").scrolledTo;
    Feed(std::vector<std::string>{":bob!b@h PRIVMSG #chan :two", ":bob!b@h PRIVMSG #chan :three"});
    EXPECT_EQ(View(chan, "fDisplay").scrolledTo, kept);

    // Back at the end, the view follows again.
    fDisplay->ReportScroll(chan, "_VSB_", 10, 10);
    Feed(":bob!b@h PRIVMSG #chan :four");
    EXPECT_EQ(View(chan, "fDisplay").scrolledTo, static_cast<int32>(Text(chan).size()));
}

} // namespace
} // namespace displaytest
