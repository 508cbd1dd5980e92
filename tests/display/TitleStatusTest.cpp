// The chrome of conversation windows: the topic line, the status line with its counts and
// clock, the Windows menu and what its items do, and activation.

#include "DisplayFixture.h"

#include <Font.h>
#include <IRC.h>
#include <IrcDisplayWindow.h>
#include <IrcRouter.h>
#include <IrcWindowInfo.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace displaytest {
namespace {

class TitleStatusTest : public DisplayFixture
{
protected:
    std::string Stats(IrcDisplayWindow* window) const { return View(window, "fStats").label; }

    // The Windows menu as "label shortcut" rows ("label" alone without one, "-" for the
    // separator).
    std::vector<std::string> WindowsMenu(IrcDisplayWindow* window) const
    {
        std::vector<std::string> rows;
        for (const auto& top : View(window, "fMenuBar").menu.items) {
            if (top.label != "Windows")
                continue;
            for (const auto& item : top.items) {
                if (item.separator) {
                    rows.push_back("-");
                    continue;
                }
                std::string row = item.label;
                if (item.shortcut != 0) {
                    EXPECT_EQ(item.modifiers & B_COMMAND_KEY, B_COMMAND_KEY) << row;
                    row += " " + std::string(1, static_cast<char>(item.shortcut));
                }
                rows.push_back(row);
            }
        }
        return rows;
    }
    int32 Activations(IrcDisplayWindow* window) const
    {
        return Shown(window).value_or(kit_private::ShownWindow{}).activations;
    }
};

// Each row: the channel's name list and the status line it shows.
TEST_F(TitleStatusTest, ChannelStatusCountsUsersAndOperators)
{
    struct Row
    {
        const char* channel;
        const char* names;
        const char* stats;
    };
    const std::vector<Row> table = {
        {"#a", "@me", "1 user 1 op at 12:05 on 12/09/2026"},
        {"#b", "me", "1 user 0 ops at 12:05 on 12/09/2026"},
        {"#c", "@me bob", "2 users 1 op at 12:05 on 12/09/2026"},
        {"#d", "@me @bob +carol", "3 users 2 ops at 12:05 on 12/09/2026"},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.names);
        EXPECT_EQ(Stats(Join(row.channel, row.names)), row.stats);
    }
    // The counts follow the list.
    IrcDisplayWindow* c = Conversation("#c");
    Feed(":me!u@h MODE #c -o me");
    EXPECT_EQ(Stats(c), "2 users 0 ops at 12:05 on 12/09/2026");
    Feed(":bob!b@h PART #c :bye");
    EXPECT_EQ(Stats(c), "1 user 0 ops at 12:05 on 12/09/2026");
}

TEST_F(TitleStatusTest, ServerStatusCountsJoinedConversations)
{
    IrcDisplayWindow* server = ServerWindow();
    EXPECT_EQ(Stats(server), "12:05 on 12/09/2026 0 channels joined");
    // A channel counts from the server's confirmation of the JOIN.
    fSession->JoinChannel("#wait", nullptr, true);
    Settle();
    EXPECT_EQ(Stats(server), "12:05 on 12/09/2026 0 channels joined");
    // A private conversation counts from its window's creation.
    IrcDisplayWindow* bob = OpenPrivate("bob");
    EXPECT_EQ(Stats(server), "12:05 on 12/09/2026 1 channel joined");
    EXPECT_EQ(Stats(bob), "12:05 on 12/09/2026");
    Feed(":me!u@h JOIN :#wait");
    EXPECT_EQ(Stats(server), "12:05 on 12/09/2026 2 channels joined");
}

TEST_F(TitleStatusTest, ClockTickReachesEveryWindowThroughItsServer)
{
    IrcDisplayWindow* chan = Join("#x", "me");
    IrcDisplayWindow* bob = OpenPrivate("bob");
    fHost.Router().PostClock("23:59", "13/09/2026");
    Settle();
    EXPECT_EQ(Stats(ServerWindow()), "23:59 on 13/09/2026 2 channels joined");
    EXPECT_EQ(Stats(chan), "1 user 0 ops at 23:59 on 13/09/2026");
    EXPECT_EQ(Stats(bob), "23:59 on 13/09/2026");
    // A conversation opened between two ticks starts with the latest clock.
    EXPECT_EQ(Stats(Join("#y", "me")), "1 user 0 ops at 23:59 on 13/09/2026");
}

TEST_F(TitleStatusTest, TopicLineIsCentredOverTheWindow)
{
    IrcDisplayWindow* chan = Join("#x");
    fDisplay->ResizeWindow(chan, 600, 300);
    Settle();
    for (const char* line : {":irc.test 332 me #x :hello", ":bob!b@h TOPIC #x :a longer topic"}) {
        SCOPED_TRACE(line);
        Feed(line);
        const kit_private::ShownView title = View(chan, "fTitle");
        const std::string topic = std::string(line).substr(std::string(line).rfind(':') + 1);
        EXPECT_EQ(title.label, "#x: " + topic + " (127.0.0.1)");
        EXPECT_FLOAT_EQ(title.frame.Width(), title.font.StringWidth(title.label.c_str()) + 5);
        ASSERT_TRUE(chan->Lock());
        const float window = chan->Bounds().Width();
        chan->Unlock();
        EXPECT_FLOAT_EQ(title.frame.left, (window - title.frame.Width()) / 2);
    }
    // Too long to centre, it starts after the menus instead of under them.
    Feed(":bob!b@h TOPIC #x :" + std::string(300, 'w'));
    float labels = 0;
    for (const auto& menu : View(chan, "fMenuBar").menu.items)
        labels += be_plain_font->StringWidth(menu.label.c_str());
    EXPECT_GT(View(chan, "fTitle").frame.left, labels);
}

TEST_F(TitleStatusTest, WindowsMenusListTheServersConversations)
{
    IrcDisplayWindow* a = Join("#a");
    // Confirmed after the menus were made, the channel is listed all the same.
    EXPECT_EQ(WindowsMenu(ServerWindow()), (std::vector<std::string>{"#a 1", "-"}));
    IrcDisplayWindow* b = Join("#b");
    Join("#c");
    EXPECT_EQ(WindowsMenu(b), (std::vector<std::string>{"127.0.0.1 0", "#a 1", "#c 3"}));
    EXPECT_EQ(WindowsMenu(a), (std::vector<std::string>{"127.0.0.1 0", "#b 2", "#c 3"}));
    EXPECT_EQ(WindowsMenu(ServerWindow()), (std::vector<std::string>{"#a 1", "#b 2", "#c 3", "-"}));
    // A channel still waiting for its JOIN is left out.
    fSession->JoinChannel("#wait", nullptr, true);
    Settle();
    EXPECT_EQ(WindowsMenu(b), (std::vector<std::string>{"127.0.0.1 0", "#a 1", "#c 3"}));

    // The tenth conversation has no shortcut; the ninth has Command+9.
    for (int i = 5; i <= 10; i++)
        Join(("#" + std::to_string(i)).c_str());
    const std::vector<std::string> server = WindowsMenu(ServerWindow());
    ASSERT_EQ(server.size(), 10u);
    EXPECT_EQ(server[7], "#9 9");
    EXPECT_EQ(server[8], "#10");
    const std::vector<std::string> fromA = WindowsMenu(a);
    EXPECT_EQ(fromA.back(), "#10");
}

TEST_F(TitleStatusTest, WindowsMenuItemsActivateTheirWindows)
{
    IrcDisplayWindow* a = Join("#a");
    IrcDisplayWindow* b = Join("#b");
    IrcDisplayWindow* bob = OpenPrivate("bob");
    const int32 before = Activations(a);
    fDisplay->ChooseMenuItem(b, {"Windows", "#a"});
    Settle();
    EXPECT_EQ(Activations(a), before + 1);

    for (IrcDisplayWindow* from : {b, bob}) {
        const int32 server = Activations(ServerWindow());
        fDisplay->ChooseMenuItem(from, {"Windows", "127.0.0.1"});
        Settle();
        EXPECT_EQ(Activations(ServerWindow()), server + 1) << from->Who();
    }
    const int32 fromServer = Activations(b);
    fDisplay->ChooseMenuItem(ServerWindow(), {"Windows", "#b"});
    Settle();
    EXPECT_EQ(Activations(b), fromServer + 1);
}

TEST_F(TitleStatusTest, ActivationClearsTheUnreadMarkAndSelectsTheTab)
{
    IrcDisplayWindow* chan = Join("#x");
    fDisplay->ActivateWindow(chan, false);
    Feed(":bob!b@h PRIVMSG #x :unseen");
    ASSERT_EQ(Shown(chan)->title, "#x (127.0.0.1) (*)");
    const size_t selected = fHost.SelectedTabs().size();
    const int32 activations = Activations(chan);
    fDisplay->ActivateWindow(chan, true);
    Settle();
    EXPECT_EQ(Shown(chan)->title, "#x (127.0.0.1)");
    EXPECT_EQ(fHost.TabLabel(chan->Info().get()).value_or(""), "#x");
    const std::vector<const IrcWindowInfo*> tabs = fHost.SelectedTabs();
    ASSERT_EQ(tabs.size(), selected + 1);
    EXPECT_EQ(tabs.back(), chan->Info().get());
    // Selecting its tab does not activate the window again.
    EXPECT_EQ(Activations(chan), activations);

    // Once the window stops watching (it is closing), activation leaves the panel alone.
    ASSERT_TRUE(chan->Lock());
    chan->WatchActivation(false);
    chan->Unlock();
    fDisplay->ActivateWindow(chan, false);
    fDisplay->ActivateWindow(chan, true);
    Settle();
    EXPECT_EQ(fHost.SelectedTabs().size(), selected + 1);
}

// Many windows of one server refreshing one another while the clock ticks and members come
// and go: nobody waits for another conversation window's lock, and every line ends current.
TEST_F(TitleStatusTest, ManyWindowsRefreshWithoutWaitingForEachOther)
{
    constexpr int kChannels = 30;
    std::vector<IrcDisplayWindow*> channels;
    for (int i = 0; i < kChannels; i++)
        channels.push_back(Join(("#s" + std::to_string(i)).c_str(), "me"));

    std::atomic<bool> done{false};
    std::thread clock([&] {
        for (int tick = 0; !done.load(); tick++) {
            const std::string time = "10:" + std::to_string(10 + tick % 50);
            fHost.Router().PostClock(time.c_str(), "14/09/2026");
            for (IrcDisplayWindow* window : channels)
                window->UpdateChannelStats(); // posted: another thread
            snooze(1000);
        }
    });
    for (int round = 0; round < 5; round++) {
        std::vector<std::string> lines;
        for (int i = 0; i < kChannels; i++) {
            const std::string nick = "u" + std::to_string(round);
            lines.push_back(":" + nick + "!u@h JOIN :#s" + std::to_string(i));
            if (round % 2 == 1)
                lines.push_back(":u" + std::to_string(round - 1) + "!u@h PART #s" +
                                std::to_string(i) + " :bye");
        }
        Feed(lines);
    }
    done = true;
    clock.join();
    fHost.Router().PostClock("11:00", "15/09/2026");
    Settle();
    // Rounds 0 to 4 joined u0 to u4; rounds 1 and 3 parted u0 and u2.
    for (IrcDisplayWindow* window : channels)
        EXPECT_EQ(Stats(window), "4 users 0 ops at 11:00 on 15/09/2026") << window->Who();
    EXPECT_EQ(Stats(ServerWindow()), "11:00 on 15/09/2026 30 channels joined");
}

} // namespace
} // namespace displaytest
