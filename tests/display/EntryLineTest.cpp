// The entry field as it is typed into: browsing the history with the arrow keys, the
// one-shot emphasis keys, nick completion, and keys typed into the other views.

#include "DisplayFixture.h"

#include <InterfaceDefs.h>
#include <IrcDisplayWindow.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace displaytest {
namespace {

constexpr const char* kUp = "\x1e";
constexpr const char* kDown = "\x1f";

class EntryLineTest : public DisplayFixture
{
protected:
    // Keys as the user types them into the entry field; "\n" presses Enter.
    void Keys(IrcDisplayWindow* window, const std::string& keys)
    {
        fDisplay->Focus(window, "TextControl");
        fDisplay->Type(window, "TextControl", keys.c_str());
        fDisplay->Sync(window);
        Settle();
    }
    void Command(IrcDisplayWindow* window, const char* letter)
    {
        fDisplay->Focus(window, "TextControl");
        fDisplay->PressKey(window, letter, B_COMMAND_KEY | B_CONTROL_KEY);
        fDisplay->Sync(window);
    }
    std::string Entry(IrcDisplayWindow* window) const { return View(window, "_input_").text.str(); }
    int32 Caret(IrcDisplayWindow* window) const { return View(window, "_input_").selectionStart; }
    std::vector<std::string> History(IrcDisplayWindow* window)
    {
        EXPECT_TRUE(window->Lock());
        std::vector<std::string> history = window->History();
        window->Unlock();
        return history;
    }
};

// Each row: keys typed (arrows included) and the entry's text afterwards. Rows run in order
// in one window, so each starts where the one before left off.
TEST_F(EntryLineTest, HistoryBrowsing)
{
    IrcDisplayWindow* chan = Join("#x");
    struct Row
    {
        std::string keys;
        std::string shown;
    };
    const std::string up(kUp);
    const std::string down(kDown);
    const std::vector<Row> table = {
        // nothing entered yet: the arrows leave the text, Down brings back the saved one
        {up, ""},
        {"abc" + up, "abc"},
        {down, "abc"},
        {down + down, "abc"},
        {"\n", ""},
        {"two\n", ""},
        {"three\n", ""},
        // history abc, two, three
        {"edit" + up, "three"},
        {up, "two"},
        {down, "three"},
        {down, "edit"},
        {up + down + up + down + up + down, "edit"},
        {down, "edit"},
        // the oldest line stays at the top
        {up + up + up + up + up + up, "abc"},
        // typing into a recalled line makes it the line to come back to, and browsing starts
        // again from the newest entry
        {"X", "abcX"},
        {down, "abcX"}, // what was typed is never replaced by the saved line
        {up, "three"},
        {up, "two"},
        {down + down, "abcX"},
        {"\n", ""},
        // entering drops the saved line: Down past the newest changes nothing
        {"fresh", "fresh"},
        {down, "fresh"},
        {up, "abcX"},
        {down, "fresh"},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.keys);
        Keys(chan, row.keys);
        EXPECT_EQ(Entry(chan), row.shown);
        EXPECT_EQ(Caret(chan), static_cast<int32>(row.shown.size()));
    }
    EXPECT_EQ(History(chan), (std::vector<std::string>{"abc", "two", "three", "abcX"}));
}

TEST_F(EntryLineTest, RecalledLineIsEditedAtItsEnd)
{
    IrcDisplayWindow* chan = Join("#x");
    Keys(chan, "hello\n");
    Wire();
    Keys(chan, kUp);
    Keys(chan, " again\n");
    EXPECT_EQ(Wire(), "PRIVMSG #x :hello again\r\n");
}

TEST_F(EntryLineTest, HistoryKeepsTheNewestThousandLines)
{
    // The server window sends no plain text, so lines can be entered fast.
    IrcDisplayWindow* server = ServerWindow();
    ASSERT_TRUE(server->Lock());
    for (int i = 0; i < 1005; i++)
        server->HandleUserEntry(("line " + std::to_string(i)).c_str());
    server->Unlock();
    const std::vector<std::string> history = History(server);
    ASSERT_EQ(history.size(), IrcDisplayWindow::kHistoryLimit);
    EXPECT_EQ(history.front(), "line 5");
    EXPECT_EQ(history.back(), "line 1004");

    Keys(server, kUp);
    EXPECT_EQ(Entry(server), "line 1004");
    std::string ups;
    for (int i = 0; i < 1002; i++)
        ups += kUp;
    Keys(server, ups);
    EXPECT_EQ(Entry(server), "line 5");
    Keys(server, kDown);
    EXPECT_EQ(Entry(server), "line 6");
}

// Each row: the Command keys pressed, the line entered, and what reaches the server.
TEST_F(EntryLineTest, EmphasisKeysWrapTheNextMessageOnly)
{
    IrcDisplayWindow* chan = Join("#x");
    struct Row
    {
        std::vector<const char*> commands;
        const char* line;
        std::string wire;
    };
    const std::vector<Row> table = {
        {{"i"}, "hello", "PRIVMSG #x :\026hello\026\r\n"},
        {{}, "plain", "PRIVMSG #x :plain\r\n"},
        {{"b"}, "loud", "PRIVMSG #x :\002loud\002\r\n"},
        // the later choice wins; there is no bold and inverse at once
        {{"b", "i"}, "last", "PRIVMSG #x :\026last\026\r\n"},
        // actions go out plain, but use the choice up
        {{"i"}, "/me waves", "PRIVMSG #x :\001ACTION waves\001\r\n"},
        {{"b"}, "/msg bob hi", "PRIVMSG bob :hi\r\n"},
        {{}, "after", "PRIVMSG #x :after\r\n"},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.line);
        for (const char* letter : row.commands)
            Command(chan, letter);
        // The keys change nothing in the field.
        EXPECT_EQ(Entry(chan), "");
        Keys(chan, std::string(row.line) + "\n");
        EXPECT_EQ(Wire(), row.wire);
    }
    // Without Command the letters are text.
    Keys(chan, "bi\n");
    EXPECT_EQ(Wire(), "PRIVMSG #x :bi\r\n");
}

// Each row: the entry's text before Tab, then after each of a run of Tabs.
TEST_F(EntryLineTest, TabCompletesNicksOfTheChannel)
{
    // In list order: operators, voiced, then everyone else.
    IrcDisplayWindow* chan = Join("#x", "me @Alice +alfred albert Bob bobby carol");
    struct Row
    {
        const char* typed;
        std::vector<std::string> tabs;
    };
    const std::vector<Row> table = {
        {"al", {"Alice: ", "alfred: ", "albert: ", "Alice: "}},
        {"BO", {"Bob: ", "bobby: ", "Bob: "}},
        {"hi AL", {"hi Alice", "hi alfred"}},
        {"ask car", {"ask carol", "ask carol"}},
        {"zed", {"zed"}},
        {"", {""}},
        {"hi ", {"hi "}},
        {"@Al", {"@Al"}},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.typed);
        Keys(chan, row.typed);
        for (const std::string& shown : row.tabs) {
            Keys(chan, "\t");
            EXPECT_EQ(Entry(chan), shown);
            EXPECT_EQ(Caret(chan), static_cast<int32>(shown.size()));
        }
        Keys(chan, std::string(Entry(chan).size(), '\b'));
        ASSERT_EQ(Entry(chan), "");
    }
    // A key between two Tabs starts over from the new word.
    Keys(chan, "b\t");
    EXPECT_EQ(Entry(chan), "Bob: ");
    Keys(chan, "\b\b\t");
    EXPECT_EQ(Entry(chan), "Bob: ");
    Keys(chan, "\t");
    EXPECT_EQ(Entry(chan), "bobby: ");

    // The focus stays in the field.
    const std::optional<kit_private::ShownWindow> shown = Shown(chan);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->focus, View(chan, "_input_").token);
}

TEST_F(EntryLineTest, TabFindsNicksInALargeChannel)
{
    IrcDisplayWindow* chan = Join("#big", "me @n5z @n55x +n55y +m55");
    std::vector<std::string> lines;
    for (int i = 0; i < 1200; i += 40) {
        std::string line = ":irc.test 353 me = #big :";
        for (int n = i; n < i + 40; n++)
            line += " n" + std::to_string(n);
        lines.push_back(line);
    }
    Feed(lines);
    ASSERT_EQ(Rows(chan).size(), 1205u);
    Keys(chan, "hey N55");
    std::vector<std::string> seen;
    for (int i = 0; i < 14; i++) {
        Keys(chan, "\t");
        seen.push_back(Entry(chan).substr(4));
    }
    const std::vector<std::string> expected = {"n55x", "n55y", "n55",  "n550", "n551",
                                               "n552", "n553", "n554", "n555", "n556",
                                               "n557", "n558", "n559", "n55x"};
    EXPECT_EQ(seen, expected);
}

TEST_F(EntryLineTest, TabInAPrivateWindowCompletesThePeer)
{
    IrcDisplayWindow* bob = OpenPrivate("Bobby");
    ASSERT_NE(bob, nullptr);
    Keys(bob, "b\t");
    EXPECT_EQ(Entry(bob), "Bobby: ");
    Keys(bob, "see you bo\t");
    EXPECT_EQ(Entry(bob), "Bobby: see you Bobby");
    Keys(bob, " x\t");
    EXPECT_EQ(Entry(bob), "Bobby: see you Bobby x");
}

TEST_F(EntryLineTest, KeysTypedElsewhereContinueInTheEntry)
{
    IrcDisplayWindow* chan = Join("#x", "me bob");
    const int32 entry = View(chan, "_input_").token;
    for (const char* view : {"fDisplay", "fUsers"}) {
        SCOPED_TRACE(view);
        fDisplay->Focus(chan, view);
        fDisplay->Sync(chan);
        ASSERT_NE(Shown(chan)->focus, entry);
        fDisplay->PressKey(chan, "h");
        fDisplay->Sync(chan);
        fDisplay->Sync(chan);
        EXPECT_EQ(Shown(chan)->focus, entry);
        Keys(chan, "i");
        EXPECT_EQ(Entry(chan), "hi");
        Keys(chan, "\b\b");
    }
    // A key that is not text only brings the focus.
    fDisplay->Focus(chan, "fDisplay");
    Keys(chan, "ab");
    fDisplay->Focus(chan, "fDisplay");
    fDisplay->Sync(chan);
    fDisplay->PressKey(chan, "\x01"); // Home
    fDisplay->Sync(chan);
    fDisplay->Sync(chan);
    EXPECT_EQ(Shown(chan)->focus, entry);
    EXPECT_EQ(Entry(chan), "ab");
    // A forwarded key ends browsing like any typed key.
    Keys(chan, "\n");
    Keys(chan, std::string("x") + kUp);
    EXPECT_EQ(Entry(chan), "ab");
    fDisplay->Focus(chan, "fUsers");
    fDisplay->Sync(chan);
    fDisplay->PressKey(chan, "!");
    fDisplay->Sync(chan);
    fDisplay->Sync(chan);
    EXPECT_EQ(Entry(chan), "ab!");
    Keys(chan, kDown);
    EXPECT_EQ(Entry(chan), "ab!");
}

// Enter sends what the field holds when it is pressed: keys typed right behind it are not
// taken into that line.
TEST_F(EntryLineTest, KeysTypedBehindEnterAreNotSentWithTheLine)
{
    IrcDisplayWindow* chan = Join("#x");
    for (int round = 0; round < 10; round++) {
        SCOPED_TRACE(round);
        const std::string line = "line " + std::to_string(round);
        Keys(chan, line + "\nnext");
        EXPECT_EQ(Wire(), "PRIVMSG #x :" + line + "\r\n");
        Keys(chan, std::string(8, '\b')); // whatever of "next" the field kept
    }
}

} // namespace
} // namespace displaytest
