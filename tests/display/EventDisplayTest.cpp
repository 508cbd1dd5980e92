// What each server event shows in its window: the line, its runs, and what it does to the
// user list, the title and the tabs.

#include "DisplayFixture.h"

#include <IRC.h>
#include <IrcDisplayWindow.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <strings.h>

namespace displaytest {
namespace {

using kit_private::StyleRun;

class EventDisplayTest : public DisplayFixture
{
protected:
    // The run in effect at an absolute offset of the window's scrollback.
    StyleRun RunAt(IrcDisplayWindow* window, size_t offset) const
    {
        StyleRun found{};
        for (const StyleRun& run : View(window, "fDisplay").runs) {
            if (static_cast<size_t>(run.offset) <= offset)
                found = run;
        }
        return found;
    }

    size_t LastLineStart(IrcDisplayWindow* window) const
    {
        return Text(window).size() - LastLine(window).size() - 1;
    }
};

TEST_F(EventDisplayTest, MessageShowsTimestampAndNickInMessageFontThenTextPlain)
{
    IrcDisplayWindow* chan = Join("#chan");
    ASSERT_NE(chan, nullptr);
    Feed(":bob!b@h PRIVMSG #chan :hello");
    EXPECT_EQ(LastLine(chan), "[12:05] <bob> hello");
    const size_t start = LastLineStart(chan);
    const StyleRun prefix = RunAt(chan, start);
    EXPECT_EQ(prefix.color, IrcDisplayWindow::kEventBlue);
    EXPECT_EQ(prefix.font, *be_bold_font);
    const StyleRun body = RunAt(chan, start + strlen("[12:05] <bob>"));
    EXPECT_EQ(body.color, IrcDisplayWindow::kPlain);
    EXPECT_EQ(body.font, *be_fixed_font);
    EXPECT_EQ(RunAt(chan, start + strlen("[12:05] <bob")).color, IrcDisplayWindow::kEventBlue);
}

TEST_F(EventDisplayTest, ActionsAndMentionsOfTheOwnNickAreColoured)
{
    IrcDisplayWindow* chan = Join("#chan");
    Feed(":bob!b@h PRIVMSG #chan :\001ACTION waves\001");
    EXPECT_EQ(LastLine(chan), "[12:05] * bob waves");
    size_t start = LastLineStart(chan);
    EXPECT_EQ(RunAt(chan, start + 7).color, IrcDisplayWindow::kEventBlue);
    EXPECT_EQ(RunAt(chan, start + 8).color, IrcDisplayWindow::kWhoisRed);

    Feed(":bob!b@h PRIVMSG #chan :hi ME there");
    start = LastLineStart(chan);
    EXPECT_EQ(RunAt(chan, start + strlen("[12:05] <bob>")).color, IrcDisplayWindow::kHighlight);
    EXPECT_EQ(RunAt(chan, start).color, IrcDisplayWindow::kEventBlue);
}

struct EventCase
{
    const char* line;
    const char* shown; // nullptr: nothing is added
    rgb_color color;
};

TEST(MentionTest, FindsTheWordAnywhereIgnoringAsciiCaseAsAGeneralSearchWould)
{
    // Small alphabets, so near misses, overlaps and matches at the very end are common.
    std::mt19937 random(3);
    const char letters[] = "aAbB@[";
    auto text = [&](size_t most) {
        std::string s(random() % (most + 1), ' ');
        for (char& c : s)
            c = letters[random() % (sizeof(letters) - 1)];
        return s;
    };
    for (int i = 0; i < 20000; i++) {
        const std::string line = text(12);
        const std::string word = text(4);
        ASSERT_EQ(IrcDisplayWindow::Contains(line.c_str(), word.c_str()),
                  strcasestr(line.c_str(), word.c_str()) != nullptr)
            << '"' << line << "\" in search of \"" << word << '"';
    }
    EXPECT_TRUE(IrcDisplayWindow::Contains("hi ME there", "me"));
    EXPECT_FALSE(IrcDisplayWindow::Contains("café naïve", "NAÏVE")); // ASCII only
    EXPECT_FALSE(IrcDisplayWindow::Contains(nullptr, "me"));
}

TEST_F(EventDisplayTest, EventTable)
{
    IrcDisplayWindow* chan = Join("#chan", "@zed +amy bob Carl");
    const EventCase cases[] = {
        {":dan!d@d.example JOIN :#chan", "*** dan (d@d.example) has joined the channel",
         IrcDisplayWindow::kJoinBlue},
        {":dan!d@d.example PART #chan", "*** dan has left the channel",
         IrcDisplayWindow::kEventBlue},
        {":zed!z@h KICK #chan bob :too loud",
         "*** bob has been kicked off channel #chan by zed (too loud)",
         IrcDisplayWindow::kEventBlue},
        {":zed!z@h TOPIC #chan :new topic", "*** zed has changed the topic to new topic",
         IrcDisplayWindow::kEventBlue},
        {":zed!z@h MODE #chan +v Carl ", "*** zed has set +v Carl in #chan",
         IrcDisplayWindow::kEventBlue},
        {":amy!a@h NICK :amelia", "*** amy is now known as amelia", IrcDisplayWindow::kEventBlue},
        {":Carl!c@h QUIT :gone fishing", "*** Carl has quit the network : \"gone fishing\"",
         IrcDisplayWindow::kEventBlue},
        {":irc.test 332 me #chan :topic on join", nullptr, {}},
    };
    for (const EventCase& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string before = Text(chan);
        Feed(c.line);
        if (c.shown == nullptr) {
            EXPECT_EQ(Text(chan), before);
            continue;
        }
        EXPECT_EQ(LastLine(chan), c.shown);
        EXPECT_EQ(RunAt(chan, LastLineStart(chan)).color, c.color);
        EXPECT_EQ(RunAt(chan, Text(chan).size() - 2).color, c.color);
    }
    EXPECT_EQ(View(chan, "fTitle").label, "#chan: topic on join (127.0.0.1)");
}

TEST_F(EventDisplayTest, WhoisAndErrorsGoToTheActiveWindowOrTheServer)
{
    IrcDisplayWindow* chan = Join("#chan");
    fDisplay->ActivateWindow(chan, true);
    Settle();
    Feed({":irc.test 311 me bob b host.example * :Bob Real", ":irc.test 319 me bob :#chan @#ops",
          ":irc.test 312 me bob irc.test :Test server", ":irc.test 318 me bob :End of WHOIS list"});
    const std::string text = Text(chan);
    EXPECT_NE(text.find("bob is in channel(s) #chan @#ops\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nbob is on "), std::string::npos) << text;
    EXPECT_EQ(RunAt(chan, LastLineStart(chan)).color, IrcDisplayWindow::kWhoisRed);

    fDisplay->ActivateWindow(chan, false);
    Settle();
    const std::string server = Text(ServerWindow());
    Feed(":irc.test 401 me nobody :No such nick/channel");
    EXPECT_EQ(LastLine(ServerWindow()), "nobody (No such nick/channel)");
    EXPECT_NE(Text(ServerWindow()), server);
}

TEST_F(EventDisplayTest, RawLinesAndNoticesInTheServerWindow)
{
    IrcDisplayWindow* server = ServerWindow();
    Feed(":irc.test 372 me :- a motd line");
    EXPECT_EQ(LastLine(server), "- a motd line");
    EXPECT_EQ(RunAt(server, LastLineStart(server)).font, *be_fixed_font);
    const std::string before = Text(server);
    Feed(":irc.test NOTICE me :hello there");
    EXPECT_EQ(LastLine(server), "[12:05] [irc.test] hello there");
    EXPECT_NE(Text(server), before);
}

TEST_F(EventDisplayTest, PrivateMessagesOpenOneWindow)
{
    Feed(":bob!b@h PRIVMSG me :psst");
    IrcDisplayWindow* bob = Conversation("bob");
    ASSERT_NE(bob, nullptr);
    EXPECT_EQ(bob->WindowType(), IrcDisplayWindow::kPrivateWindow);
    EXPECT_EQ(LastLine(bob), "[12:05] <bob> psst");
    Feed(":bob!b@h PRIVMSG me :again");
    EXPECT_EQ(fList->CountItems(), 1);
    EXPECT_EQ(LastLine(bob), "[12:05] <bob> again");
    ASSERT_TRUE(Shown(bob).has_value());
    EXPECT_EQ(Shown(bob)->title.rfind("Private with bob (127.0.0.1)", 0), 0u);
}

TEST_F(EventDisplayTest, QuitAndNickReachEveryChannelOfTheNickButNotTheServer)
{
    IrcDisplayWindow* a = Join("#a", "me bob");
    IrcDisplayWindow* b = Join("#b", "me bob");
    IrcDisplayWindow* c = Join("#c", "me");
    const std::string server = Text(ServerWindow());
    Feed(":bob!b@h NICK :robert");
    EXPECT_EQ(LastLine(a), "*** bob is now known as robert");
    EXPECT_EQ(LastLine(b), "*** bob is now known as robert");
    EXPECT_EQ(Text(c), "");
    Feed(":robert!b@h QUIT :bye");
    EXPECT_EQ(LastLine(a), "*** robert has quit the network : \"bye\"");
    EXPECT_EQ(LastLine(b), "*** robert has quit the network : \"bye\"");
    EXPECT_EQ(Text(c), "");
    EXPECT_EQ(Text(ServerWindow()), server);
}

TEST_F(EventDisplayTest, OwnJoinShowsTheWindowWithItsTabAndAddsNoLine)
{
    fSession->JoinChannel("#new", nullptr, true);
    Settle();
    IrcDisplayWindow* chan = Conversation("#new");
    ASSERT_NE(chan, nullptr);
    EXPECT_FALSE(Shown(chan)->visible);
    EXPECT_FALSE(fHost.TabLabel(chan->Info().get()).has_value());
    Feed(":me!u@h JOIN :#new");
    EXPECT_TRUE(Shown(chan)->visible);
    EXPECT_EQ(fHost.TabLabel(chan->Info().get()).value_or(""), "#new");
    EXPECT_EQ(Text(chan), "");
    EXPECT_NE(View(ServerWindow(), "fStats").label.find("1 channel joined"), std::string::npos);
}

TEST_F(EventDisplayTest, UnreadMarkOnTitleAndTabUntilActive)
{
    IrcDisplayWindow* chan = Join("#chan");
    fDisplay->ActivateWindow(chan, false);
    Settle();
    Feed(":bob!b@h PRIVMSG #chan :one");
    EXPECT_EQ(Shown(chan)->title, "#chan (127.0.0.1) (*)");
    EXPECT_EQ(fHost.TabLabel(chan->Info().get()).value_or(""), "#chan (*)");
    fDisplay->ActivateWindow(chan, true);
    Settle();
    EXPECT_EQ(Shown(chan)->title, "#chan (127.0.0.1)");
    EXPECT_EQ(fHost.TabLabel(chan->Info().get()).value_or(""), "#chan");
}

TEST_F(EventDisplayTest, KickedAndRejoining)
{
    IrcDisplayWindow* chan = Join("#chan", "me @zed");
    const std::shared_ptr<IrcWindowInfo> old = chan->Info();
    fAlertAnswer = 1;
    Feed(":zed!z@h KICK #chan me :behave");
    const auto alerts = fDisplay->Alerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].text, "You have been kicked out of channel #chan by zed (behave)\n");
    EXPECT_EQ(alerts[0].buttons, (std::vector<std::string>{"Okay", "Re-join"}));
    EXPECT_EQ(alerts[0].title, "");
    const std::string wire = Wire();
    EXPECT_EQ(wire, "JOIN #chan\r\n");
    // The old window is gone; the session asked for a fresh one.
    EXPECT_TRUE(old->IsClosed());
    EXPECT_FALSE(old->Messenger().IsValid());
    const std::shared_ptr<IrcWindowInfo> fresh = fList->Find("#chan");
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old);
}

TEST_F(EventDisplayTest, ConnectionLostIsToldInEveryWindow)
{
    IrcDisplayWindow* chan = Join("#chan");
    fServer.CloseClient();
    for (int i = 0; i < 200 && LastLine(chan) != "*** Connection to server lost."; i++) {
        snooze(10000);
        Settle();
    }
    EXPECT_EQ(LastLine(ServerWindow()), "*** Connection to server lost.");
    EXPECT_EQ(LastLine(chan), "*** Connection to server lost.");
}

} // namespace
} // namespace displaytest

namespace displaytest {
namespace {

// The router decides who gets a QUIT or NICK by the members it has routed so far, not by
// what a busy window has shown yet: a window that lags behind loses no line.
TEST_F(EventDisplayTest, AWindowBehindItsEventsStillGetsEveryQuitAndNick)
{
    IrcDisplayWindow* chan = Join("#chan", "me");
    ASSERT_TRUE(chan->Lock());
    ASSERT_TRUE(fServer.Send(":amy!a@h JOIN :#chan\r\n:amy!a@h NICK :amelia\r\n"
                             ":amelia!a@h QUIT :gone\r\nPING :held\r\n"));
    ASSERT_TRUE(fServer.WaitFor("PONG held\r\n"));
    fRouterLooper->Sync();
    chan->Unlock();
    Settle();
    const std::string text = Text(chan);
    EXPECT_NE(text.find("*** amy is now known as amelia\n"), std::string::npos) << text;
    EXPECT_NE(text.find("*** amelia has quit the network : \"gone\"\n"), std::string::npos) << text;
    EXPECT_EQ(Rows(chan), std::vector<std::string>{"me"});
    EXPECT_FALSE(chan->Info()->HasNick("amelia"));
}

} // namespace
} // namespace displaytest
