#include "AppFixture.h"
#include "AppMessages.h"

#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>
#include <KitTestUtil.h>
#include <irc.h>

#include <FakeServer.h>
#include <LoopbackPort.h>
#include <Ngircd.h>
#include <RawClient.h>
#include <TempDir.h>
#include <ThreadCount.h>

#include <AppDefs.h>
#include <HeadlessDisplay.h>
#include <Message.h>
#include <Messenger.h>
#include <TextControl.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <ctime>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using apptest::AppTest;
using kittest::WaitUntil;
using testsupport::FakeServer;
using testsupport::Ngircd;

constexpr const char* kNoServer = "Please select a server from the server menu first.";

// An ident query on the loopback port; the whole answer, or "" when nothing listens.
std::string AskIdent(uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        send(fd, "1, 2\r\n", 6, MSG_NOSIGNAL);
        pollfd p{fd, POLLIN, 0};
        char buffer[512];
        ssize_t got;
        while (poll(&p, 1, 2000) > 0 && (got = recv(fd, buffer, sizeof(buffer), 0)) > 0)
            answer.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return answer;
}

// Threads of this process with that name.
using testsupport::CountThreads;

TEST_F(AppTest, ConnectWithoutAServerAsksForOneAfterRestartingTheResponder)
{
    // A choice without a host is no choice.
    BMessage hostless(MSG_CHOOSE_SERVER);
    hostless.AddString("Title", "Nowhere");
    hostless.AddInt32("Port", 6667);
    fViewMessenger.SendMessage(&hostless);
    SetField("fUserName", "alice");
    PressConnect();

    auto alerts = fDisplay.Alerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].text, kNoServer);
    EXPECT_EQ(alerts[0].title, "");
    EXPECT_EQ(alerts[0].buttons, std::vector<std::string>{"Okay"});
    EXPECT_EQ(alerts[0].type, B_STOP_ALERT);
    EXPECT_TRUE(fView->ServerList().empty());
    EXPECT_EQ(PanelTabs().labels.size(), 0u);
    ASSERT_TRUE(testsupport::WaitForListener(fIdent.port, 2000));
    EXPECT_EQ(AskIdent(fIdent.port), "1, 2 : USERID : BeOS : alice\r\n");
}

TEST_F(AppTest, EmptyNickOrRealNameConnectsNothingAndSaysNothing)
{
    FakeServer server;
    ChooseServer(server.Port());
    struct Case
    {
        const char* nick;
        const char* realName;
    };
    for (const Case& c : {Case{"", "Real"}, Case{"nick", ""}}) {
        SCOPED_TRACE(std::string("nick '") + c.nick + "', real name '" + c.realName + "'");
        SetField("fNickName", c.nick);
        SetField("fRealName", c.realName);
        PressConnect();
        EXPECT_TRUE(fDisplay.Alerts().empty());
        EXPECT_TRUE(fView->ServerList().empty());
        EXPECT_FALSE(server.Accept(200));
    }
}

TEST_F(AppTest, ServerChoicesWithoutAHostChangeNothing)
{
    FakeServer server;
    ChooseServer(server.Port(), "Fake");
    BMessage hostless(MSG_CHOOSE_SERVER);
    hostless.AddString("Title", "Other");
    hostless.AddInt32("Port", 1);
    fViewMessenger.SendMessage(&hostless);
    BMessage emptyHost(MSG_CHOOSE_SERVER);
    emptyHost.AddString("Host", "");
    fViewMessenger.SendMessage(&emptyHost);
    Sync();
    EXPECT_EQ(fDisplay.View(fWindow, "fServer")->menu.label, "Fake");

    SetIdentity();
    PressConnect();
    EXPECT_TRUE(server.Accept());
    EXPECT_TRUE(server.WaitFor("NICK velmor\r\n"));
}

TEST_F(AppTest, ConnectToARealServerRegistersAndRoutesItsMessages)
{
    Ngircd ngircd;
    ASSERT_TRUE(ngircd.Start()) << ngircd.Error();
    ChooseServer(ngircd.Port());
    SetField("fNickName", "velmor");
    SetField("fRealName", "Tester");
    PressConnect();

    IrcDisplayWindow* server = ServerWindow(0);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(fDisplay.Window(server)->title, "127.0.0.1");
    ASSERT_TRUE(WaitUntil([&] {
        return ShownText(server, "fDisplay").find("Welcome") != std::string::npos;
    })) << ShownText(server, "fDisplay");
    EXPECT_TRUE(fView->ServerList()[0]->Server()->IsConnected());
    EXPECT_EQ(PanelTabs().labels, std::vector<std::string>{"127.0.0.1"});

    // A private message opens its window (with its tab) before the text reaches it.
    testsupport::RawClient bob;
    ASSERT_TRUE(bob.Connect(ngircd.Port()));
    ASSERT_TRUE(bob.Register("bob"));
    bob.SendLine("PRIVMSG velmor :hello there");
    ASSERT_TRUE(WaitUntil([&] { return fView->ServerList()[0]->CountItems() == 1; }));
    IrcDisplayWindow* peer = fView->ServerList()[0]->ItemAt(0)->Window();
    EXPECT_EQ(fDisplay.Window(peer)->title, "Private with bob (127.0.0.1)");
    EXPECT_TRUE(WaitUntil([&] {
        return ShownText(peer, "fDisplay").find("hello there") != std::string::npos;
    })) << ShownText(peer, "fDisplay");
    EXPECT_TRUE(WaitUntil([&] { return PanelTabs().labels.size() == 2; }));
    EXPECT_EQ(PanelTabs().labels, (std::vector<std::string>{"127.0.0.1", "bob"}));
}

TEST_F(AppTest, TwoConnectsMakeTwoSessionsAndLeaveOneResponder)
{
    Ngircd ngircd;
    ASSERT_TRUE(ngircd.Start()) << ngircd.Error();
    ChooseServer(ngircd.Port());
    SetField("fUserName", "carol");
    SetField("fRealName", "Tester");
    SetField("fNickName", "first");
    PressConnect();
    SetField("fNickName", "second");
    PressConnect();

    IrcDisplayWindow* one = ServerWindow(0);
    IrcDisplayWindow* two = ServerWindow(1);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_NE(one, two);
    EXPECT_EQ(fDisplay.Window(one)->title, "127.0.0.1");
    EXPECT_EQ(fDisplay.Window(two)->title, "127.0.0.1");
    for (IrcDisplayWindow* window : {one, two}) {
        EXPECT_TRUE(WaitUntil([&] {
            return ShownText(window, "fDisplay").find("Welcome") != std::string::npos;
        })) << ShownText(window, "fDisplay");
    }
    // Same label, two windows: two tabs.
    EXPECT_EQ(PanelTabs().labels, (std::vector<std::string>{"127.0.0.1", "127.0.0.1"}));
    ASSERT_TRUE(testsupport::WaitForListener(fIdent.port, 2000));
    // A replaced listener's thread may linger a moment after it has ended.
    EXPECT_TRUE(WaitUntil([] { return CountThreads("identd") == 1; }, 2000000));
    EXPECT_EQ(AskIdent(fIdent.port), "1, 2 : USERID : BeOS : carol\r\n");
}

// Quitting the application, or closing its main window.
class QuitTest : public AppTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(QuitTest, SendsOneQuitToEveryServerAndStopsTheResponder)
{
    FakeServer first;
    FakeServer second;
    SetIdentity();
    for (FakeServer* server : {&first, &second}) {
        ChooseServer(server->Port());
        PressConnect();
        ASSERT_TRUE(server->Accept());
        ASSERT_TRUE(server->WaitFor("USER "));
    }
    ASSERT_TRUE(WaitUntil([&] {
        auto servers = fView->ServerList();
        return servers.size() == 2 && servers[0]->Server()->IsConnected() &&
               servers[1]->Server()->IsConnected();
    }));
    ASSERT_TRUE(testsupport::WaitForListener(fIdent.port, 2000));

    if (GetParam())
        fDisplay.CloseWindow(fWindow);
    else
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    ASSERT_TRUE(WaitUntil([&] { return fRunEnded.load(); }));
    for (FakeServer* server : {&first, &second}) {
        EXPECT_TRUE(server->WaitFor("QUIT")) << server->Received();
        server->Collect(100);
        EXPECT_EQ(server->Count("QUIT"), 1u) << server->Received();
        EXPECT_NE(server->Received().find("QUIT :Velmor v0.31 -- \r\n"), std::string::npos)
            << server->Received();
    }
    EXPECT_EQ(AskIdent(fIdent.port), "");
}

INSTANTIATE_TEST_SUITE_P(Ways, QuitTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "CloseBox" : "Application"; });

TEST_F(AppTest, NothingStartsOnceQuittingHasBegun)
{
    FakeServer server;
    ASSERT_TRUE(fWindow->Lock());
    fView->Quit();
    fWindow->Unlock();

    ChooseServer(server.Port());
    PressConnect();
    EXPECT_TRUE(fDisplay.Alerts().empty());
    EXPECT_TRUE(fView->ServerList().empty());
    EXPECT_FALSE(server.Accept(300));
    EXPECT_EQ(AskIdent(fIdent.port), "");
    EXPECT_FALSE(fView->CPanel().IsValid());
}

TEST(MainViewClock, TimeIsHourMinuteAndDateIsMonthDayYear)
{
    struct Case
    {
        int hour, minute, day, month, year;
        const char* time;
        const char* date;
    };
    for (const Case& c : {Case{9, 5, 3, 6, 124, "09:05", "07/03/2024"},
                          Case{23, 59, 31, 11, 99, "23:59", "12/31/1999"},
                          Case{0, 0, 1, 0, 100, "00:00", "01/01/2000"}}) {
        std::tm local{};
        local.tm_hour = c.hour;
        local.tm_min = c.minute;
        local.tm_mday = c.day;
        local.tm_mon = c.month;
        local.tm_year = c.year;
        char time[32];
        char date[32];
        IrcMainView::FormatClock(local, time, sizeof(time), date, sizeof(date));
        EXPECT_STREQ(time, c.time);
        EXPECT_STREQ(date, c.date);
    }
}

} // namespace
