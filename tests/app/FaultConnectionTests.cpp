// Connections that fail or end badly, as the user meets them: a server that closes or resets
// in the middle, one that stalls, one that refuses, a host that does not resolve and an
// address that never answers. The user is told, what was shown stays, windows still answer
// and close at once, and the application quits cleanly.

#include "FaultFixture.h"

#include <FakeServer.h>
#include <LoopbackPort.h>

#include <Alert.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using apptest::FaultTest;
using apptest::kConnectionLost;
using apptest::kCouldNotConnect;
using apptest::kTimedOut;
using kittest::WaitUntil;
using testsupport::FakeServer;

// A loopback address whose connects hang: a listener that never accepts, its backlog
// filled by two connects of its own, so the kernel drops every further SYN.
class BlackHole
{
public:
    BlackHole()
    {
        fListener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (bind(fListener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            listen(fListener, 0) != 0 ||
            getsockname(fListener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        for (int& filler : fFillers) {
            filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        }
        fPort = ntohs(address.sin_port);
        // The fillers are in the queue once a probe of our own no longer completes.
        int probe = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        pollfd entry{probe, POLLOUT, 0};
        fHangs = poll(&entry, 1, 300) == 0;
        close(probe);
    }
    ~BlackHole()
    {
        for (int filler : fFillers)
            close(filler);
        close(fListener);
    }
    BlackHole(const BlackHole&) = delete;
    BlackHole& operator=(const BlackHole&) = delete;

    uint16_t Port() const { return fPort; }
    bool Hangs() const { return fHangs; }

private:
    int fListener = -1;
    int fFillers[2] = {-1, -1};
    uint16_t fPort = 0;
    bool fHangs = false;
};

void ExpectStopAlert(const alert_request& alert, const char* text)
{
    EXPECT_EQ(alert.text, text);
    EXPECT_EQ(alert.title, "");
    EXPECT_EQ(alert.buttons, std::vector<std::string>{"Okay"});
    EXPECT_EQ(alert.type, B_STOP_ALERT);
}

class ConnectionFault : public FaultTest
{
protected:
    // Server lines, then channel lines, all confirmed shown.
    std::shared_ptr<IrcWindowInfo> Converse(FakeServer& server,
                                            const std::shared_ptr<IrcConversationList>& list)
    {
        std::string welcome;
        for (int i = 0; i < 5; i++)
            welcome += ":srv 001 velmor :server line " + std::to_string(i) + "\r\n";
        EXPECT_TRUE(Feed(server, welcome));
        auto channel = Join(server, list, "#faults");
        std::string said;
        for (int i = 0; i < 20; i++)
            said += ":bob!b@h PRIVMSG #faults :before " + std::to_string(i) + "\r\n";
        EXPECT_TRUE(Feed(server, said));
        return channel;
    }

    // Every line fed by Converse is shown, in order, before anything else that follows.
    void ExpectConversationKept(const std::shared_ptr<IrcConversationList>& list,
                                const std::shared_ptr<IrcWindowInfo>& channel)
    {
        const std::string server = Text(list->Server());
        size_t at = 0;
        for (int i = 0; i < 5; i++) {
            at = server.find("server line " + std::to_string(i), at);
            ASSERT_NE(at, std::string::npos) << i << "\n" << server;
        }
        const std::string shown = Text(channel);
        at = 0;
        for (int i = 0; i < 20; i++) {
            at = shown.find("before " + std::to_string(i) + "\n", at);
            ASSERT_NE(at, std::string::npos) << i << "\n" << shown;
        }
    }

    // The loss is the last line of the server window and of the channel, shown once each.
    void ExpectLossShown(const std::shared_ptr<IrcConversationList>& list,
                         const std::shared_ptr<IrcWindowInfo>& channel)
    {
        for (const auto& window : {list->Server(), channel}) {
            ASSERT_TRUE(WaitUntil([&] {
                Settle();
                return Text(window).find(kConnectionLost) != std::string::npos;
            })) << window->Name()
                << ":\n"
                << Text(window);
            const std::vector<std::string> lines = Lines(Text(window));
            ASSERT_FALSE(lines.empty());
            EXPECT_NE(lines.back().find(kConnectionLost), std::string::npos) << lines.back();
            size_t count = 0;
            for (const std::string& line : lines)
                count += line.find(kConnectionLost) != std::string::npos;
            EXPECT_EQ(count, 1u) << window->Name();
        }
    }

    // After the end: typing goes nowhere but harms nothing, the windows answer, the server
    // window closes at once with its channel, and no alert was raised.
    void ExpectWindowsStillAnswerAndClose(const std::shared_ptr<IrcConversationList>& list,
                                          const std::shared_ptr<IrcWindowInfo>& channel)
    {
        Enter(channel, "anyone there?");
        EXPECT_TRUE(fDisplay.Sync(channel->Window()));
        EXPECT_TRUE(fDisplay.Sync(list->Server()->Window()));
        EXPECT_TRUE(CloseAndWait(list->Server()));
        EXPECT_TRUE(WaitUntil([&] { return !channel->Messenger().IsValid(); }, 2000000));
        EXPECT_TRUE(WaitUntil([&] { return fView->ServerList().empty(); }, 2000000));
        EXPECT_TRUE(fDisplay.Alerts().empty());
        EXPECT_TRUE(QuitAndWait());
    }
};

TEST_F(ConnectionFault, ServerClosingMidLineShowsTheHalfLineThenTheLoss)
{
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    auto channel = Converse(server, list);
    ASSERT_NE(channel, nullptr);

    ASSERT_TRUE(server.Send(":bob!b@h PRIVMSG #faults :cut off in the mid"));
    server.CloseClient();
    ExpectLossShown(list, channel);
    ExpectConversationKept(list, channel);
    // What came of the last line is not thrown away.
    const std::vector<std::string> lines = Lines(Text(channel));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[lines.size() - 2].find("cut off in the mid"), std::string::npos)
        << Text(channel);
    ExpectWindowsStillAnswerAndClose(list, channel);
}

TEST_F(ConnectionFault, ConnectionResetShowsTheLoss)
{
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    auto channel = Converse(server, list);
    ASSERT_NE(channel, nullptr);

    server.ResetClient();
    ExpectLossShown(list, channel);
    ExpectConversationKept(list, channel);
    ExpectWindowsStillAnswerAndClose(list, channel);
}

// A server that stops sending, in the middle of a line, and never closes: the reader waits
// without holding anything up, however long that lasts.
TEST_F(ConnectionFault, StalledServerLeavesTheWindowsAnsweringAndClosable)
{
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    auto channel = Converse(server, list);
    ASSERT_NE(channel, nullptr);
    ASSERT_TRUE(server.Send(":bob!b@h PRIVMSG #faults :and then noth"));
    server.ClearReceived();

    // The user goes on typing and is heard; every window answers.
    Enter(channel, "hello, still there?");
    EXPECT_TRUE(server.WaitFor("PRIVMSG #faults :hello, still there?\r\n"));
    EXPECT_TRUE(WaitUntil([&] {
        Settle();
        return Text(channel).find("hello, still there?") != std::string::npos;
    })) << Text(channel);
    EXPECT_EQ(Text(channel).find("and then noth"), std::string::npos);
    EXPECT_EQ(PanelTabs().labels, (std::vector<std::string>{"127.0.0.1", "#faults"}));
    ExpectConversationKept(list, channel);

    // Closing the server window does not wait for the server.
    EXPECT_TRUE(CloseAndWait(list->Server()));
    EXPECT_TRUE(WaitUntil([&] { return !channel->Messenger().IsValid(); }, 2000000));
    EXPECT_TRUE(server.WaitFor("QUIT :Velmor v0.31 -- \r\n"));
    EXPECT_EQ(Text(list->Server()).find(kConnectionLost), std::string::npos);
    EXPECT_TRUE(fDisplay.Alerts().empty());
    EXPECT_TRUE(QuitAndWait());
}

// A stalled server while the application quits: it quits at once, with its QUIT sent.
TEST_F(ConnectionFault, StalledServerDoesNotHoldUpQuitting)
{
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(Feed(server, ":srv 001 velmor :Welcome\r\n"));
    ASSERT_TRUE(server.Send(":srv NOTICE velmor :never ends"));
    EXPECT_TRUE(QuitAndWait());
    EXPECT_TRUE(server.WaitFor("QUIT :Velmor v0.31 -- \r\n"));
}

// The connect fails at once: one alert, no window or tab left, and the next connect works.
struct FailedConnect
{
    const char* name;
    std::string host; // "" for 127.0.0.1 on a port nothing listens on
};

class FailedConnectTest : public FaultTest, public ::testing::WithParamInterface<FailedConnect>
{
};

TEST_P(FailedConnectTest, AlertsOnceAndLeavesTheClientUsable)
{
    SetIdentity();
    BMessage choose('Adak');
    choose.AddString("Host", GetParam().host.empty() ? "127.0.0.1" : GetParam().host.c_str());
    choose.AddString("Title", "Broken");
    choose.AddInt32("Port", testsupport::FreeLoopbackPort());
    fViewMessenger.SendMessage(&choose);
    PressConnect();

    ASSERT_TRUE(WaitUntil([&] { return !fDisplay.Alerts().empty(); }, 5000000));
    ExpectStopAlert(fDisplay.Alerts()[0], kCouldNotConnect);
    EXPECT_TRUE(WaitUntil([&] { return fView->ServerList().empty(); }, 2000000));
    EXPECT_TRUE(PanelTabs().labels.empty());
    // No time-out can follow: its watch has been stopped.
    EXPECT_TRUE(WaitUntil([] { return apptest::CountThreads("ServerConnectionWatch") == 0; }));

    FakeServer good;
    auto list = Connect(good);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(Feed(good, ":srv 001 velmor :Welcome after the failure\r\n"));
    EXPECT_NE(Text(list->Server()).find("Welcome after the failure"), std::string::npos);
    EXPECT_EQ(fDisplay.Alerts().size(), 1u);
    EXPECT_TRUE(QuitAndWait());
}

INSTANTIATE_TEST_SUITE_P(Ways, FailedConnectTest,
                         // A label longer than a name may have fails in the resolver itself, so no
                         // look-up leaves the machine.
                         ::testing::Values(FailedConnect{"Refused", ""},
                                           FailedConnect{"Unresolvable",
                                                         std::string(64, 'x') + ".invalid"}),
                         [](const auto& info) { return info.param.name; });

// A connect that is never answered: the window and the rest of the client keep answering for
// the ten seconds, then one alert says so and the window goes.
TEST_F(ConnectionFault, BlackHoleTimesOutWithOneAlertAndTheClientStaysResponsive)
{
    BlackHole hole;
    ASSERT_TRUE(hole.Hangs());
    SetIdentity();
    ChooseServer(hole.Port(), "Black hole");
    const bigtime_t start = system_time();
    PressConnect();
    std::shared_ptr<IrcConversationList> list;
    ASSERT_TRUE(WaitUntil([&] { return !fView->ServerList().empty(); }));
    list = fView->ServerList()[0];

    // While connecting, the user can still work with the main window and the server window.
    int rounds = 0;
    while (fDisplay.Alerts().empty() && system_time() - start < 15000000) {
        SetField("fNickName", ("waiting" + std::to_string(rounds)).c_str());
        EXPECT_EQ(FieldText("fNickName"), "waiting" + std::to_string(rounds));
        if (list->Server()->Messenger().IsValid())
            fDisplay.Sync(list->Server()->Window());
        rounds++;
        snooze(100000);
    }
    ASSERT_EQ(fDisplay.Alerts().size(), 1u);
    EXPECT_GE(system_time() - start, 9900000);
    EXPECT_GT(rounds, 50);
    ExpectStopAlert(fDisplay.Alerts()[0], kTimedOut);
    EXPECT_TRUE(WaitUntil([&] { return !list->Server()->Messenger().IsValid(); }, 2000000));
    EXPECT_TRUE(WaitUntil([&] { return fView->ServerList().empty(); }, 2000000));
    EXPECT_TRUE(PanelTabs().labels.empty());
    EXPECT_TRUE(WaitUntil([] { return apptest::CountThreads("ServerConnectionWatch") == 0; }));
    EXPECT_EQ(fDisplay.Alerts().size(), 1u);
    EXPECT_TRUE(QuitAndWait());
}

// Closed while its connect hangs: the window goes at once and no alert comes later.
TEST_F(ConnectionFault, ClosingAWindowWhoseConnectHangsIsImmediateAndSilent)
{
    BlackHole hole;
    ASSERT_TRUE(hole.Hangs());
    SetIdentity();
    ChooseServer(hole.Port(), "Black hole");
    PressConnect();
    ASSERT_TRUE(WaitUntil([&] { return !fView->ServerList().empty(); }));
    auto list = fView->ServerList()[0];
    ASSERT_TRUE(WaitUntil([] { return apptest::CountThreads("ServerConnect") == 1; }));

    EXPECT_TRUE(CloseAndWait(list->Server()));
    EXPECT_TRUE(WaitUntil([&] { return fView->ServerList().empty(); }, 2000000));
    // The time-out's watch is gone, so its alert can never come.
    EXPECT_TRUE(
        WaitUntil([] { return apptest::CountThreads("ServerConnectionWatch") == 0; }, 2000000));
    EXPECT_TRUE(fDisplay.Alerts().empty());
    EXPECT_TRUE(QuitAndWait());
}

} // namespace
