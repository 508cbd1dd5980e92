// What entry lines do besides sending: the one-shot emphasis, the history, and the commands
// that close, open or clear windows or quit the application.

#include "DisplayFixture.h"

#include <Application.h>
#include <IRC.h>
#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace displaytest {
namespace {

constexpr signed char kBold = 2;
constexpr signed char kInverse = 22;

class EntryCommandStateTest : public DisplayFixture
{
protected:
    void SetEmphasis(IrcDisplayWindow* window, signed char emphasis)
    {
        ASSERT_TRUE(window->Lock());
        window->SetEmphasis(emphasis);
        window->Unlock();
    }
    signed char Emphasis(IrcDisplayWindow* window)
    {
        EXPECT_TRUE(window->Lock());
        const signed char emphasis = window->Emphasis();
        window->Unlock();
        return emphasis;
    }
    std::vector<std::string> History(IrcDisplayWindow* window)
    {
        EXPECT_TRUE(window->Lock());
        std::vector<std::string> history = window->History();
        window->Unlock();
        return history;
    }
    // Waits for a conversation to close; false when it is still open.
    bool WaitClosed(const std::shared_ptr<IrcWindowInfo>& info)
    {
        for (int i = 0; i < 500 && !info->IsClosed(); i++)
            snooze(2000);
        Settle();
        return info->IsClosed();
    }
};

// Each row: the emphasis chosen before the line, the line, what it sends, and the emphasis
// left for the next line.
TEST_F(EntryCommandStateTest, EmphasisIsUsedOnceUnlessTheLineIsRefused)
{
    struct Row
    {
        signed char before;
        const char* line;
        std::string wire;
        signed char after;
    };
    const std::vector<Row> table = {
        {kBold, "hello", "PRIVMSG #x :\002hello\002\r\n", -1},
        {-1, "plain", "PRIVMSG #x :plain\r\n", -1},
        {kInverse, "//x", "PRIVMSG #x :\026/x\026\r\n", -1},
        // refused or skipped lines leave it for the next one
        {kBold, "/me", "", kBold},
        {kBold, "/topic", "", kBold},
        {kBold, "/kill", "", kBold},
        {kBold, "/msg bob", "", kBold},
        {kBold, "next", "PRIVMSG #x :\002next\002\r\n", -1},
        // an unknown command uses it up
        {kBold, "/bogus", "", -1},
        {kInverse, "/all hey", "PRIVMSG #x :\026hey\026\r\n", -1},
        // "/msg" never emphasises, but the choice is gone afterwards all the same
        {kBold, "/msg bob hi", "PRIVMSG bob :hi\r\n", -1},
        {kBold, "/away", "AWAY\r\n", -1},
    };
    IrcDisplayWindow* chan = Join("#x");
    ASSERT_NE(chan, nullptr);
    Wire();
    for (const Row& row : table) {
        SCOPED_TRACE(row.line);
        SetEmphasis(chan, row.before);
        Enter(chan, row.line);
        EXPECT_EQ(Wire(), row.wire);
        EXPECT_EQ(Emphasis(chan), row.after);
    }
}

TEST_F(EntryCommandStateTest, TextDroppedInTheServerWindowStillUsesUpTheEmphasis)
{
    IrcDisplayWindow* server = ServerWindow();
    Wire();
    const int32 beeps = fDisplay->Beeps();
    SetEmphasis(server, kBold);
    Enter(server, "nobody hears this");
    EXPECT_EQ(Wire(), "");
    EXPECT_EQ(fDisplay->Beeps(), beeps);
    EXPECT_EQ(Emphasis(server), -1);
    EXPECT_EQ(History(server), (std::vector<std::string>{"nobody hears this"}));
}

TEST_F(EntryCommandStateTest, EveryLineEntersTheHistoryInOrder)
{
    IrcDisplayWindow* chan = Join("#x");
    const std::vector<std::string> lines = {"hi", "/bogus", "/me", "//x", "/kill", "/JOIN  y"};
    for (const std::string& line : lines)
        Enter(chan, line.c_str());
    EXPECT_EQ(History(chan), lines);
}

TEST_F(EntryCommandStateTest, PartAndLeaveCloseTheChannelWhichParts)
{
    for (const char* command : {"/part", "/LEAVE now"}) {
        SCOPED_TRACE(command);
        IrcDisplayWindow* chan = Join("#x");
        ASSERT_NE(chan, nullptr);
        const std::shared_ptr<IrcWindowInfo> info = chan->Info();
        Wire();
        Enter(chan, command);
        ASSERT_TRUE(WaitClosed(info));
        EXPECT_EQ(Wire(), "PART #x\r\n");
        EXPECT_EQ(Conversation("#x"), nullptr);
    }
}

TEST_F(EntryCommandStateTest, QueryOpensOnePrivateWindowAndSendsNothing)
{
    IrcDisplayWindow* chan = Join("#x");
    Wire();
    Enter(chan, "/query #Chan");
    IrcDisplayWindow* opened = Conversation("Chan");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->WindowType(), IrcDisplayWindow::kPrivateWindow);
    const int32 count = fList->CountItems();
    Enter(chan, "/q chan");
    EXPECT_EQ(fList->CountItems(), count) << "an existing conversation is reused";
    EXPECT_EQ(Wire(), "");
}

TEST_F(EntryCommandStateTest, ClearEmptiesTheScrollbackOnly)
{
    IrcDisplayWindow* chan = Join("#x");
    Feed(":bob!b@h PRIVMSG #x :see http://example.com/");
    ASSERT_NE(Text(chan), "");
    Wire();
    Enter(chan, "/clear");
    EXPECT_EQ(Text(chan), "");
    EXPECT_EQ(Wire(), "");
}

TEST_F(EntryCommandStateTest, IgnoreAddsTheNickToTheSessionsList)
{
    IrcDisplayWindow* chan = Join("#x");
    Enter(chan, "/ignore Troll");
    EXPECT_TRUE(fSession->IsIgnored("troll"));
    EXPECT_FALSE(fSession->IsIgnored("bob"));
}

// An application that never runs: its queue shows what was posted to it.
TEST_F(EntryCommandStateTest, QuitAsksTheApplicationToQuitAndSendsNothing)
{
    auto* app = new BApplication("application/x-vnd.test-Velmor");
    ASSERT_EQ(be_app, app);
    IrcDisplayWindow* chan = Join("#x");
    Wire();
    const int32 queued = app->CountQueuedMessages();
    Enter(chan, "/quit gone fishing");
    EXPECT_EQ(app->CountQueuedMessages(), queued + 1);
    EXPECT_EQ(Wire(), "");
    delete app;
}

} // namespace
} // namespace displaytest
