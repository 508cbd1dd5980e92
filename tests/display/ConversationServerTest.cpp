// A conversation end to end against real servers of each family and a real other user:
// joining two channels, every kind of event arriving in the right windows, and what the
// client sends.

#include "DisplayFixture.h"

#include <IRC.h>
#include <IrcDisplayWindow.h>
#include <IrcItem.h>
#include <IrcWindowInfo.h>
#include <Peer.h>
#include <RawClient.h>
#include <TestServer.h>

#include <gtest/gtest.h>

#include <string>

namespace displaytest {
namespace {

using testsupport::ServerFamily;

class ConversationServerTest : public ::testing::TestWithParam<ServerFamily>
{
protected:
    void SetUp() override
    {
        if (getenv("VELMOR_DIAG") == nullptr)
            IRC_SetDiagnosticSink(nullptr);
        setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1);
        ASSERT_TRUE(fServer->Start()) << fServer->Error();
        fDisplay = std::make_unique<kit_private::HeadlessDisplay>();
        fDisplay->SetAlertResponder([this](const alert_request&) { return fAlertAnswer.load(); });
        fLooper = new RoutingLooper(&fHost.Router());
        fLooper->Run();
        // Both register at once (some servers welcome clients only on a tick); bob joins his
        // channels before the user does, so he is their operator.
        fSession = std::make_shared<IRC>("me", "me", "Real Me", "127.0.0.1", fServer->Port(),
                                         new BMessage('Airc'), fLooper, fLooper);
        fList = fHost.Router().Connect(fSession, "127.0.0.1", "09:30", "12/09/2026");
        ASSERT_TRUE(fBob.Start(fServer->Port(), "bob", "#a,#b"));
        ASSERT_TRUE(WaitForText(Server(), "Welcome")) << Text(Server());
    }

    void TearDown() override
    {
        if (HasFailure())
            std::cerr << fServer->Log();
        fHost.Router().QuitAll("");
        EXPECT_TRUE(fHost.Router().WaitForWindows(5000000));
        fHost.WaitForWindowThreads();
        fSession.reset();
        if (fLooper->Lock())
            fLooper->Quit();
        fBob.Stop();
        fDisplay.reset();
    }

    IrcDisplayWindow* Server() const { return fList->Server()->Window(); }
    IrcDisplayWindow* Window(const char* name) const
    {
        auto info = fList->Find(name);
        return info != nullptr ? info->Window() : nullptr;
    }

    std::string Text(IrcDisplayWindow* window) const
    {
        auto view = fDisplay->View(window, "fDisplay");
        return view ? view->text.str() : std::string();
    }

    bool WaitForText(IrcDisplayWindow* window, const std::string& text, int ms = 5000)
    {
        for (int i = 0; i < ms / 10; i++) {
            if (window != nullptr && Text(window).find(text) != std::string::npos)
                return true;
            snooze(10000);
        }
        return false;
    }

    IrcDisplayWindow* WaitForWindow(const char* name, int ms = 5000)
    {
        for (int i = 0; i < ms / 10; i++) {
            IrcDisplayWindow* window = Window(name);
            if (window != nullptr && fList->Find(name)->IsConnected())
                return window;
            snooze(10000);
        }
        return nullptr;
    }

    std::vector<kit_private::ListRow> Rows(IrcDisplayWindow* window) const
    {
        auto view = fDisplay->View(window, "fUsers");
        return view ? view->rows : std::vector<kit_private::ListRow>{};
    }

    bool WaitForRows(IrcDisplayWindow* window, const std::vector<std::string>& expected)
    {
        for (int i = 0; i < 500; i++) {
            std::vector<std::string> rows;
            for (const auto& row : Rows(window))
                rows.push_back(row.text);
            if (rows == expected)
                return true;
            snooze(10000);
        }
        return false;
    }

    void Enter(IrcDisplayWindow* window, const char* line)
    {
        fDisplay->Focus(window, "TextControl");
        fDisplay->Type(window, "TextControl", (std::string(line) + "\n").c_str());
        // Enter posts the entry's message; a second round lets the window handle it.
        fDisplay->Sync(window);
        fDisplay->Sync(window);
    }

    bool Inspircd() const { return GetParam() == ServerFamily::kInspircd; }

    testsupport::TempDir fHome;
    std::unique_ptr<testsupport::TestServer> fServer = testsupport::MakeTestServer(GetParam());
    std::unique_ptr<kit_private::HeadlessDisplay> fDisplay;
    TestHost fHost;
    RoutingLooper* fLooper = nullptr;
    testsupport::Peer fBob;
    std::shared_ptr<IRC> fSession;
    std::shared_ptr<IrcConversationList> fList;
    std::atomic<int32> fAlertAnswer{0};
};

TEST_P(ConversationServerTest, TwoChannelsWithARealPeer)
{
    Enter(Server(), "/join #a");
    Enter(Server(), "/j b");
    IrcDisplayWindow* a = WaitForWindow("#a");
    IrcDisplayWindow* b = WaitForWindow("#b");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr) << Text(Server()) << fDisplay->View(Server(), "TextControl")->text;
    ASSERT_TRUE(WaitForRows(a, {"bob", "me"}));
    const auto rows = Rows(a);
    EXPECT_EQ(rows[0].textColor, IrcItem::kOperatorColor);
    EXPECT_EQ(rows[1].textColor, IrcItem::kNormalColor);

    // A message with a link, and an action
    fBob.Send("PRIVMSG #a :look at http://example.com/x, now");
    ASSERT_TRUE(WaitForText(a, "[09:30] <bob> look at http://example.com/x, now\n"));
    EXPECT_GE(fDisplay->View(a, "fDisplay")->links.size(), 1u);
    fBob.Send("PRIVMSG #b :\001ACTION waves at me\001");
    ASSERT_TRUE(WaitForText(b, "[09:30] * bob waves at me\n"));

    // What the user says comes back as the same kind of line
    Enter(a, "hello all");
    ASSERT_TRUE(fBob.WaitFor("PRIVMSG #a :hello all"));
    ASSERT_TRUE(WaitForText(a, "[09:30] <me> hello all\n"));

    // Modes and the topic
    fBob.Send("MODE #a +v me");
    ASSERT_TRUE(WaitForText(a, "*** bob has set +v me in #a\n"));
    ASSERT_TRUE(WaitForRows(a, {"bob", "me"}));
    EXPECT_EQ(Rows(a)[1].textColor, IrcItem::kVoiceColor);
    fBob.Send("TOPIC #a :the topic");
    ASSERT_TRUE(WaitForText(a, "*** bob has changed the topic to the topic\n"));
    EXPECT_EQ(fDisplay->View(a, "fTitle")->label, "#a: the topic (127.0.0.1)");

    // A private message opens one window
    fBob.Send("PRIVMSG me :psst");
    IrcDisplayWindow* privateWindow = WaitForWindow("bob");
    ASSERT_NE(privateWindow, nullptr);
    ASSERT_TRUE(WaitForText(privateWindow, "[09:30] <bob> psst\n"));
    fBob.Send("PRIVMSG me :again");
    ASSERT_TRUE(WaitForText(privateWindow, "<bob> again"));
    EXPECT_EQ(fList->CountItems(), 3);

    // A nick change reaches both channels and not the server window
    const std::string serverText = Text(Server());
    fBob.Send("NICK robert");
    ASSERT_TRUE(WaitForText(a, "*** bob is now known as robert\n"));
    ASSERT_TRUE(WaitForText(b, "*** bob is now known as robert\n"));
    EXPECT_EQ(Text(Server()).find("now known as"), std::string::npos);
    EXPECT_TRUE(WaitForRows(a, {"robert", "me"}));

    // Whois replies go to the active window
    fDisplay->ActivateWindow(b, true);
    fDisplay->Sync(b);
    Enter(b, "/whois robert");
    ASSERT_TRUE(WaitForText(b, "robert is on "));

    // Closing a channel parts it
    fDisplay->CloseWindow(b);
    // A lone channel may come as a trailing parameter.
    ASSERT_TRUE(fBob.WaitFor(Inspircd() ? "PART :#b" : "PART #b"));

    // The peer leaves: the quit line in the channel it shared, with the reason as the server
    // relays it (in quotes of its own, or after "Quit: ").
    fBob.Send("QUIT :off now");
    const char* quitLine = Inspircd() ? "*** robert has quit the network : \"Quit: off now\"\n"
                                      : "*** robert has quit the network : \"\"off now\"\"\n";
    ASSERT_TRUE(WaitForText(a, quitLine)) << Text(a);
    EXPECT_TRUE(WaitForRows(a, {"me"}));
}

TEST_P(ConversationServerTest, KickedThenRejoining)
{
    Enter(Server(), "/join #a");
    IrcDisplayWindow* a = WaitForWindow("#a");
    ASSERT_NE(a, nullptr);
    std::shared_ptr<IrcWindowInfo> first = fList->Find("#a");
    ASSERT_TRUE(WaitForRows(a, {"bob", "me"}));
    fAlertAnswer = 1;
    fBob.Send("KICK #a me :out");
    for (int i = 0; i < 500 && !first->IsClosed(); i++)
        snooze(10000);
    ASSERT_TRUE(first->IsClosed());
    ASSERT_EQ(fDisplay->Alerts().size(), 1u);
    EXPECT_EQ(fDisplay->Alerts()[0].text, "You have been kicked out of channel #a by bob (out)\n");
    // No PART, a JOIN instead: bob sees the user come back.
    ASSERT_TRUE(fBob.WaitFor("JOIN"));
    IrcDisplayWindow* again = WaitForWindow("#a");
    ASSERT_NE(again, nullptr);
    EXPECT_NE(fList->Find("#a"), first);
    for (const std::string& line : fBob.Lines())
        EXPECT_EQ(line.find(" PART "), std::string::npos) << line;
}

TEST_P(ConversationServerTest, ClosingTheServerWindowQuitsWithTheClientsReason)
{
    Enter(Server(), "/join #a");
    ASSERT_NE(WaitForWindow("#a"), nullptr);
    fDisplay->CloseWindow(Server());
    // ngircd quotes the reason and drops its trailing blank; InspIRCd puts "Quit: " before it.
    ASSERT_TRUE(
        fBob.WaitFor(Inspircd() ? "QUIT :Quit: Velmor v0.31 -- " : "QUIT :\"Velmor v0.31 --\""))
        << fBob.Lines().back();
    ASSERT_TRUE(fHost.Router().WaitForWindows(3000000));
}

TEST_P(ConversationServerTest, ChannelModesAndWhoMaySetTheTopic)
{
    Enter(Server(), "/join #a");
    IrcDisplayWindow* a = WaitForWindow("#a");
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(WaitForRows(a, {"bob", "me"}));
    fDisplay->ActivateWindow(a, true);
    fDisplay->Sync(a);

    // The mode reply is a raw line for the server window, shown as sent.
    Enter(a, "/mode #a");
    ASSERT_TRUE(WaitForText(Server(), Inspircd() ? "\n#a :+nt\n" : "\n#a +\n")) << Text(Server());

    // Where channels start +t only operators set the topic: the refusal shows in the active
    // window, and the title keeps no topic.
    Enter(a, "/topic mine now");
    if (Inspircd()) {
        ASSERT_TRUE(
            WaitForText(a, "#a (You must be a channel op or higher to change the topic.)\n"))
            << Text(a);
        EXPECT_EQ(Text(a).find("changed the topic"), std::string::npos);
    } else {
        ASSERT_TRUE(WaitForText(a, "*** me has changed the topic to mine now\n")) << Text(a);
        EXPECT_EQ(fDisplay->View(a, "fTitle")->label, "#a: mine now (127.0.0.1)");
    }

    // An operator's change with its argument sent as a trailing parameter by some servers:
    // shown and applied to the row like any other.
    fBob.Send("MODE #a +o me");
    ASSERT_TRUE(WaitForText(a, "*** bob has set +o me in #a\n")) << Text(a);
    ASSERT_TRUE(WaitForRows(a, {"bob", "me"}));
    EXPECT_EQ(Rows(a)[1].textColor, IrcItem::kOperatorColor);
    Enter(a, "/topic as operator");
    ASSERT_TRUE(WaitForText(a, "*** me has changed the topic to as operator\n")) << Text(a);
}

INSTANTIATE_TEST_SUITE_P(Servers, ConversationServerTest,
                         ::testing::Values(ServerFamily::kNgircd, ServerFamily::kInspircd),
                         [](const auto& info) { return testsupport::FamilyName(info.param); });

} // namespace
} // namespace displaytest
