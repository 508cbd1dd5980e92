// A conversation window's views and font menus, headless: the Options menu, sizes and
// families that restyle the text already shown and the text to come, and the user list's
// edge dragged against the scrollback.

#include "DisplayFixture.h"

#include <IrcDisplayWindow.h>
#include <ScrollView.h>

#include <Font.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace displaytest {
namespace {

using kit_private::MenuNode;
using kit_private::StyleRun;

const MenuNode* Child(const MenuNode& node, const std::string& label)
{
    for (const MenuNode& item : node.items) {
        if (item.label == label)
            return &item;
    }
    return nullptr;
}

std::vector<std::string> Marked(const MenuNode& node)
{
    std::vector<std::string> marked;
    for (const MenuNode& item : node.items) {
        if (item.marked)
            marked.push_back(item.label);
    }
    return marked;
}

BFont Face(const char* family, const char* style, float size)
{
    BFont font;
    EXPECT_EQ(font.SetFamilyAndStyle(family, style), B_OK);
    font.SetSize(size);
    return font;
}

class WindowLayoutTest : public DisplayFixture
{
protected:
    MenuNode Options(IrcDisplayWindow* window)
    {
        const MenuNode bar = View(window, "fMenuBar").menu;
        const MenuNode* options = Child(bar, "Options");
        return options != nullptr ? *options : MenuNode{};
    }

    // The font of every run that starts a line's body ("> ") and of its prefix.
    void LineFonts(IrcDisplayWindow* window, const std::string& line, BFont* prefix, BFont* body)
    {
        const kit_private::ShownView view = View(window, "fDisplay");
        const size_t start = std::string_view(view.text).find(line);
        ASSERT_NE(start, std::string::npos) << view.text;
        const size_t bodyStart = std::string_view(view.text).find("> ", start) + 2;
        auto fontAt = [&view](size_t offset) {
            BFont font;
            for (const StyleRun& run : view.runs) {
                if (static_cast<size_t>(run.offset) <= offset)
                    font = run.font;
            }
            return font;
        };
        *prefix = fontAt(start);
        *body = fontAt(bodyStart);
    }

    // Geometry under the window's lock, in the background's coordinates.
    BRect Frame(IrcDisplayWindow* window, const char* name)
    {
        EXPECT_TRUE(window->Lock());
        BView* view = window->FindView(name);
        BRect frame = view->Frame();
        if (view->Parent() != nullptr && view->Parent()->Parent() != nullptr)
            frame = view->Parent()->ConvertToParent(frame);
        window->Unlock();
        return frame;
    }
};

TEST_F(WindowLayoutTest, OptionsHoldTheTwoFontMenusWithTheirSizesAndMarks)
{
    IrcDisplayWindow* window = Join("#x");
    const MenuNode bar = View(window, "fMenuBar").menu;
    ASSERT_EQ(bar.items.size(), 2u);
    EXPECT_EQ(bar.items[0].label, "Windows");
    EXPECT_EQ(bar.items[1].label, "Options");

    const MenuNode options = Options(window);
    ASSERT_EQ(options.items.size(), 2u);
    struct Case
    {
        const char* menu;
        const char* family;
        const char* style;
    };
    // Headless, the fixed font is DejaVu Sans Mono Book and the bold DejaVu Sans Bold, 12.
    for (const Case& c : {Case{"Channel Font", "DejaVu Sans Mono", "Book"},
                          Case{"Nick names, joins, modes, etc. Font", "DejaVu Sans", "Bold"}}) {
        const MenuNode* menu = Child(options, c.menu);
        ASSERT_NE(menu, nullptr) << c.menu;
        EXPECT_TRUE(menu->radioMode);
        ASSERT_GE(menu->items.size(), 3u);
        const MenuNode& sizes = menu->items[0];
        EXPECT_EQ(sizes.label, "Size");
        EXPECT_TRUE(sizes.radioMode);
        std::vector<std::string> labels;
        for (const MenuNode& item : sizes.items)
            labels.push_back(item.label);
        std::vector<std::string> expected;
        for (int size = 8; size <= 58; size += 2)
            expected.push_back(std::to_string(size));
        EXPECT_EQ(labels, expected);
        EXPECT_EQ(Marked(sizes), (std::vector<std::string>{"12"}));
        EXPECT_TRUE(menu->items[1].separator);
        EXPECT_EQ(menu->items[2].label, "bitstream charter");
        EXPECT_EQ(Marked(*menu), (std::vector<std::string>{c.family}));
        EXPECT_EQ(Marked(*Child(*menu, c.family)), (std::vector<std::string>{c.style}));
    }
}

TEST_F(WindowLayoutTest, ASizeRestylesTheBodiesShownAndToComeAndIsMarked)
{
    IrcDisplayWindow* window = Join("#x");
    Feed(":amy!a@h PRIVMSG #x :before");
    fDisplay->ChooseMenuItem(window, {"Options", "Channel Font", "Size", "20"});
    Settle();
    Feed(":amy!a@h PRIVMSG #x :between");
    BFont prefix;
    BFont body;
    for (const char* line : {"<amy> before", "<amy> between"}) {
        LineFonts(window, line, &prefix, &body);
        EXPECT_EQ(body, Face("DejaVu Sans Mono", "Book", 20)) << line;
        EXPECT_EQ(prefix, *be_bold_font) << line;
    }

    fDisplay->ChooseMenuItem(window, {"Options", "Channel Font", "Size", "12"});
    Settle();
    Feed(":amy!a@h PRIVMSG #x :after");
    for (const char* line : {"<amy> before", "<amy> between", "<amy> after"}) {
        LineFonts(window, line, &prefix, &body);
        EXPECT_EQ(body, Face("DejaVu Sans Mono", "Book", 12)) << line;
        EXPECT_EQ(prefix, *be_bold_font) << line;
    }
    const MenuNode options = Options(window);
    EXPECT_EQ(Marked(Child(options, "Channel Font")->items[0]), (std::vector<std::string>{"12"}));

    // The prefixes' menu changes only the prefixes.
    fDisplay->ChooseMenuItem(window,
                             {"Options", "Nick names, joins, modes, etc. Font", "Size", "30"});
    Settle();
    LineFonts(window, "<amy> before", &prefix, &body);
    EXPECT_EQ(prefix, Face("DejaVu Sans", "Bold", 30));
    EXPECT_EQ(body, Face("DejaVu Sans Mono", "Book", 12));
}

TEST_F(WindowLayoutTest, AFamilyRestylesItsRunsAndMovesTheMark)
{
    IrcDisplayWindow* window = Join("#x");
    Feed(":amy!a@h PRIVMSG #x :hello");
    fDisplay->ChooseMenuItem(window, {"Options", "Channel Font", "Liberation Serif", "Italic"});
    Settle();
    Feed(":amy!a@h PRIVMSG #x :again");
    BFont prefix;
    BFont body;
    for (const char* line : {"<amy> hello", "<amy> again"}) {
        LineFonts(window, line, &prefix, &body);
        EXPECT_EQ(body, Face("Liberation Serif", "Italic", 12)) << line;
        EXPECT_EQ(prefix, *be_bold_font) << line;
    }
    const MenuNode options = Options(window);
    const MenuNode* menu = Child(options, "Channel Font");
    EXPECT_EQ(Marked(*menu), (std::vector<std::string>{"Liberation Serif"}));
    EXPECT_EQ(Marked(*Child(*menu, "Liberation Serif")), (std::vector<std::string>{"Italic"}));
    EXPECT_TRUE(Marked(*Child(*menu, "DejaVu Sans Mono")).empty());
}

TEST_F(WindowLayoutTest, DraggingTheListEdgeNarrowsTheScrollbackByAsMuch)
{
    IrcDisplayWindow* window = Join("#x");
    const BRect bounds = Shown(window)->frame.OffsetToCopy(0, 0);
    const BRect text = Frame(window, "fDisplay");
    // 80 pixels for the list, its scroll bar's 14 and 5 of margin.
    EXPECT_EQ(text.right, bounds.right - 14 - 80 - 5);
    const BRect list = Frame(window, "fUserScroll");
    const float gap = list.left - Frame(window, "fBgrnd").right;
    EXPECT_GT(gap, 0);

    fDisplay->PressMouse(window, "fEdge", BPoint(2, 40));
    fDisplay->MoveMouse(window, "fEdge", BPoint(2 - 30, 40), 1);
    Settle();
    EXPECT_EQ(Frame(window, "fUserScroll").left, list.left - 30);
    EXPECT_EQ(Frame(window, "fDisplay").right, text.right - 30);
    // The text is laid out in the view's new width.
    EXPECT_EQ(View(window, "fDisplay").textMode.textRect.Width(), text.Width() - 30);

    // However far it goes, the scrollback keeps its scroll bar and some text.
    fDisplay->MoveMouse(window, "fEdge", BPoint(-400, 40), 1);
    fDisplay->ReleaseMouse(window, "fEdge", BPoint(-400, 40));
    Settle();
    const BRect narrow = Frame(window, "fDisplay");
    EXPECT_GE(narrow.Width(), 60);
    EXPECT_EQ(Frame(window, "fUserScroll").left - Frame(window, "fBgrnd").right, gap);

    // Resizing the window keeps the list's width and lays the text out anew.
    fDisplay->ResizeWindow(window, bounds.Width() + 100, bounds.Height());
    Settle();
    EXPECT_EQ(Frame(window, "fDisplay").right, narrow.right + 100);
    EXPECT_EQ(View(window, "fDisplay").textMode.textRect.Width(), narrow.Width() + 100);
}

TEST_F(WindowLayoutTest, ServerAndPrivateWindowsGiveTheScrollbackTheWholeWidth)
{
    for (IrcDisplayWindow* window : {ServerWindow(), OpenPrivate("bob")}) {
        ASSERT_NE(window, nullptr);
        const BRect bounds = Shown(window)->frame.OffsetToCopy(0, 0);
        EXPECT_EQ(Frame(window, "fDisplay").right, bounds.right - 14 - 5);
        EXPECT_TRUE(View(window, "fUserScroll").hidden);
        EXPECT_EQ(View(window, "fTitle").name, "") << "no title line";
    }
}

} // namespace
} // namespace displaytest
