// Opening and closing windows: what each kind of window sends as it closes, what it tells
// the others, and the two connection failures.

#include "DisplayFixture.h"

#include <IRC.h>
#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>
#include <LoopbackPort.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace displaytest {
namespace {

class LifecycleTest : public DisplayFixture
{
protected:
    void Close(IrcDisplayWindow* window)
    {
        fDisplay->CloseWindow(window);
        Settle();
    }
};

TEST_F(LifecycleTest, ClosingAChannelPartsAndUpdatesTheServer)
{
    IrcDisplayWindow* a = Join("#a");
    Join("#b");
    const std::shared_ptr<IrcWindowInfo> info = a->Info();
    EXPECT_NE(View(ServerWindow(), "fStats").label.find("2 channels joined"), std::string::npos);
    Close(a);
    EXPECT_EQ(Wire(), "PART #a\r\n");
    EXPECT_TRUE(info->IsClosed());
    EXPECT_EQ(fList->CountItems(), 1);
    EXPECT_EQ(fHost.TabLabels(), (std::vector<std::string>{"127.0.0.1", "#b"}));
    EXPECT_NE(View(ServerWindow(), "fStats").label.find("1 channel joined"), std::string::npos);
}

TEST_F(LifecycleTest, ClosingAPrivateWindowSendsNothing)
{
    IrcDisplayWindow* bob = OpenPrivate("bob");
    ASSERT_NE(bob, nullptr);
    Close(bob);
    EXPECT_EQ(Wire(), "");
    EXPECT_EQ(fList->CountItems(), 0);
}

TEST_F(LifecycleTest, ClosingTheServerWindowQuitsOnceAndClosesItsConversations)
{
    Join("#a");
    Join("#b");
    OpenPrivate("bob");
    const auto conversations = fList->Windows();
    ASSERT_EQ(conversations.size(), 3u);
    const std::shared_ptr<IrcWindowInfo> server = fList->Server();
    fDisplay->CloseWindow(ServerWindow());
    ASSERT_TRUE(fServer.WaitFor("QUIT"));
    ASSERT_TRUE(fHost.Router().WaitForWindows(3000000));
    fServer.Collect(50);
    EXPECT_EQ(fServer.Received(), "QUIT :Velmor v0.31 -- \r\n");
    EXPECT_TRUE(server->IsClosed());
    for (const auto& conversation : conversations)
        EXPECT_FALSE(conversation->Messenger().IsValid()) << conversation->Name();
    EXPECT_TRUE(fHost.TabLabels().empty());
    EXPECT_EQ(fHost.RemovedServers(), 1);
    EXPECT_TRUE(fHost.Router().ServerList().empty());
}

TEST_F(LifecycleTest, ApplicationQuitSendsTheQuitMessageAndNoPart)
{
    Join("#a");
    OpenPrivate("bob");
    fHost.Router().QuitAll("see you");
    ASSERT_TRUE(fHost.Router().WaitForWindows(3000000));
    fServer.Collect(50);
    EXPECT_EQ(fServer.Received(), "QUIT :Velmor v0.31 -- see you\r\n");
}

TEST_F(LifecycleTest, UserListCommandsOpenAPrivateWindowOnce)
{
    Feed(":bob!b@h PRIVMSG me :hi");
    fSession->JoinChannel("bob", nullptr, true);
    fSession->JoinChannel("BOB", nullptr, true);
    Settle();
    EXPECT_EQ(fList->CountItems(), 1);
    EXPECT_EQ(Wire(), "");
}

// A session whose server window connects to a port where nothing answers as it should.
class ConnectFailureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1);
        fDisplay = std::make_unique<kit_private::HeadlessDisplay>();
        fDisplay->SetAlertResponder([](const alert_request&) { return 0; });
        fLooper = new RoutingLooper(&fHost.Router());
        fLooper->Run();
    }

    void TearDown() override
    {
        fHost.Router().QuitAll("");
        EXPECT_TRUE(fHost.Router().WaitForWindows(3000000));
        fHost.WaitForWindowThreads();
        if (fLooper->Lock())
            fLooper->Quit();
        fDisplay.reset();
    }

    std::shared_ptr<IrcConversationList> Connect(uint16_t port)
    {
        auto session = std::make_shared<IRC>("me", "me", "rn", "127.0.0.1", port,
                                             new BMessage('Airc'), fLooper, fLooper);
        return fHost.Router().Connect(session, "127.0.0.1", "12:05", "12/09/2026");
    }

    bool WaitForAlerts(size_t count, int ms)
    {
        for (int i = 0; i < ms / 10 && fDisplay->Alerts().size() < count; i++)
            snooze(10000);
        return fDisplay->Alerts().size() >= count;
    }

    testsupport::TempDir fHome;
    std::unique_ptr<kit_private::HeadlessDisplay> fDisplay;
    TestHost fHost;
    RoutingLooper* fLooper = nullptr;
};

TEST_F(ConnectFailureTest, RefusedConnectionClosesTheWindowThenAlertsOnce)
{
    const uint16_t port = testsupport::FreeLoopbackPort();
    auto list = Connect(port);
    ASSERT_TRUE(WaitForAlerts(1, 5000));
    const alert_request alert = fDisplay->Alerts()[0];
    EXPECT_EQ(alert.text, "Could not connect to server.");
    EXPECT_EQ(alert.title, "");
    EXPECT_EQ(alert.buttons, std::vector<std::string>{"Okay"});
    EXPECT_EQ(alert.type, B_STOP_ALERT);
    EXPECT_TRUE(list->Server()->IsClosed());
    EXPECT_FALSE(list->Server()->Messenger().IsValid());
    EXPECT_TRUE(fHost.TabLabels().empty());
    // The time-out would have come at ten seconds; the closed window stopped it.
    snooze(10500000);
    EXPECT_EQ(fDisplay->Alerts().size(), 1u);
}

TEST_F(ConnectFailureTest, SilentServerTimesOutWithOneAlertThenCloses)
{
    // A listener whose backlog is full: the connect is never answered.
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    socklen_t length = sizeof(address);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    int fillers[2];
    for (int& filler : fillers) {
        filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    }
    snooze(100000);

    const bigtime_t start = system_time();
    auto list = Connect(ntohs(address.sin_port));
    ASSERT_TRUE(WaitForAlerts(1, 15000));
    EXPECT_GE(system_time() - start, 9900000);
    EXPECT_EQ(fDisplay->Alerts()[0].text, "Server connection timed out.");
    for (int i = 0; i < 300 && list->Server()->Messenger().IsValid(); i++)
        snooze(10000);
    EXPECT_FALSE(list->Server()->Messenger().IsValid());
    snooze(200000);
    EXPECT_EQ(fDisplay->Alerts().size(), 1u);
    for (int filler : fillers)
        close(filler);
    close(listener);
}

} // namespace
} // namespace displaytest
