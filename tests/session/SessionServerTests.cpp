#include "Collector.h"

#include <IRC.h>

#include <RawClient.h>
#include <TestServer.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testsupport::RawClient;
using testsupport::ServerFamily;
using testsupport::TestServer;

struct Step
{
    const char* what;
    std::function<void()> run;
    std::vector<std::string> expect; // patterns, in the order they must arrive
};

class ServerSessionTest : public ::testing::TestWithParam<ServerFamily>
{
protected:
    void SetUp() override
    {
        IRC_SetDiagnosticSink(nullptr);
        ASSERT_TRUE(fServer->Start()) << fServer->Error();
        // The other user registers alongside: some servers welcome clients only on a tick.
        ASSERT_TRUE(fPeer.Connect(fServer->Port()));
        ASSERT_TRUE(fPeer.SendRegistration("peer"));
        fSession = std::make_unique<IRC>("velmor", "velmor", "rn", "127.0.0.1", fServer->Port(),
                                         new BMessage('Airc'), nullptr, nullptr);
        fCollector = std::make_unique<CollectorHandle>(fSession.get(), &fWindow);
        fSession->SetTarget(fCollector->Get(), nullptr);
        fSession->SetServer(&fWindow);
        ASSERT_EQ(fSession->Connect(), 0);
        ASSERT_TRUE(Expect("Amsg type:i=20 Nick:s=velmor Said:s=Welcome*"));
    }

    void TearDown() override
    {
        if (HasFailure())
            std::cerr << fServer->Log();
        if (fSession)
            fSession->Disconnect("bye");
        fSession.reset();
        fCollector.reset();
    }

    // Waits for pattern after everything matched so far.
    bool Expect(const std::string& pattern, int timeoutMs = 3000)
    {
        int at = (*fCollector)->WaitForMatch(pattern, timeoutMs, fNext);
        if (at < 0)
            return false;
        fNext = static_cast<size_t>(at) + 1;
        return true;
    }

    std::string Received()
    {
        std::string all;
        for (const std::string& line : (*fCollector)->Lines())
            all += line + "\n";
        return all;
    }

    bool Inspircd() const { return GetParam() == ServerFamily::kInspircd; }

    int fWindow = 0;
    size_t fNext = 0;
    std::unique_ptr<TestServer> fServer = testsupport::MakeTestServer(GetParam());
    RawClient fPeer;
    std::unique_ptr<IRC> fSession;
    std::unique_ptr<CollectorHandle> fCollector;
};

TEST_P(ServerSessionTest, EventsFromAnotherUserArriveInOrder)
{
    RawClient& peer = fPeer;
    IRC& session = *fSession;
    const std::string server = fServer->ServerName();
    // The whois replies in the order each family sends them.
    const std::string whoisServer = "Amsh type:i=16 Channel:s=Active Channel Nick:s=peer2 IRC:p=S "
                                    "Info:s=peer2 " +
                                    server + " :*";
    const std::string whoisChannels =
        "Amsh type:i=13 IRC:p=S Nick:s=peer2 Channel:s=Active Channel In Channels:s=#test";
    const std::string whoisUser =
        "Amsh type:i=14 Channel:s=Active Channel Nick:s=peer2 IRC:p=S Info:s=peer2 * :*";
    const std::string whoisIdle = "Amsh type:i=18 Channel:s=Active Channel Nick:s=peer2 IRC:p=S "
                                  "Time:s=has been idle * seconds; signed on at *:*:* on */*/*";
    std::vector<std::string> whois = {whoisUser, whoisServer, whoisChannels, whoisIdle};
    if (Inspircd())
        whois = {whoisUser, whoisChannels, whoisServer, whoisIdle};
    whois.push_back("Amsj type:i=15 Nick:s=peer2");
    const Step steps[] = {
        {"join",
         [&] { session.JoinChannel("#test", nullptr, false); },
         {"Amsl Channel:s=#test IRC:p=S Window:p=W",
          "Amsh type:i=4 Nick:s=velmor IRC:p=S Host:s=* Channel:s=#test",
          "Amsh type:i=7 Channel:s=#test List:s=@velmor IRC:p=S",
          "Amsh type:i=8 Nick:s=#test IRC:p=S Channel:s=#test Topic:s=",
          // the answer to the session's own "MODE velmor +i"
          "Amsh type:i=12 From:s=velmor Channel:s=velmor IRC:p=S Change:s=*+i"}},
        // A raw reply for the server window, as sent: new channels start +nt on some servers.
        {"channel modes",
         [&] { session.RawCommand("MODE #test"); },
         {std::string("Amsg type:i=20 Nick:s=velmor Said:s=#test ") + (Inspircd() ? ":+nt" : "+") +
          " Server:p=W"}},
        {"peer joins",
         [&] {
             ASSERT_TRUE(peer.WaitForWelcome());
             peer.SendLine("JOIN #test");
         },
         {"Amsh type:i=4 Nick:s=peer IRC:p=S Host:s=*@* Channel:s=#test"}},
        {"channel message",
         [&] { peer.SendLine("PRIVMSG #test :hello all"); },
         {"Amsh type:i=0 Nick:s=peer IRC:p=S Channel:s=#test Said:s=hello all"}},
        {"private message",
         [&] { peer.SendLine("PRIVMSG velmor :just you"); },
         {"Amsl Channel:s=peer IRC:p=S Window:p=W",
          "Amsh type:i=0 Nick:s=peer IRC:p=S Channel:s=peer Said:s=just you"}},
        {"action",
         [&] {
             peer.SendLine("PRIVMSG #test :\x01"
                           "ACTION dances\x01");
         },
         {"Amsh type:i=0 Nick:s=peer Channel:s=#test IRC:p=S Said:s=dances Action:b=1"}},
        {"notice",
         [&] { peer.SendLine("NOTICE velmor :take note"); },
         {"Amsh type:i=19 IRC:p=S Channel:s=Active Channel Info:s=take note From:s=peer"}},
        // Before the topic: channels may start +t.
        {"mode",
         [&] { session.RawCommand("MODE #test +o peer"); },
         {"Amsh type:i=12 From:s=velmor Channel:s=#test IRC:p=S Change:s=+o peer"}},
        {"topic",
         [&] { peer.SendLine("TOPIC #test :fresh topic"); },
         {"Amsh type:i=10 Topic:s=fresh topic Nick:s=peer Channel:s=#test IRC:p=S"}},
        {"nick",
         [&] { peer.SendLine("NICK peer2"); },
         {"Amsh type:i=11 NewNick:s=peer2 IRC:p=S Nick:s=peer Channel:s=Channels"}},
        {"part",
         [&] { peer.SendLine("PART #test :see you"); },
         {"Amsh type:i=2 IRC:p=S Nick:s=peer2 Channel:s=#test Reason:s=see you"}},
        {"rejoin",
         [&] { peer.SendLine("JOIN #test"); },
         {"Amsh type:i=4 Nick:s=peer2 IRC:p=S Host:s=* Channel:s=#test"}},
        {"kick",
         [&] { session.RawCommand("KICK #test peer2 :out you go"); },
         {"Amsh type:i=3 Data:s=peer2 :out you go From:s=velmor IRC:p=S Channel:s=#test"}},
        {"back again",
         [&] { peer.SendLine("JOIN #test"); },
         {"Amsh type:i=4 Nick:s=peer2 IRC:p=S Host:s=* Channel:s=#test"}},
        {"whois", [&] { session.RawCommand("WHOIS peer2"); }, whois},
        {"quit",
         [&] { peer.SendLine("QUIT :gone now"); },
         {"Amsh type:i=1 Nick:s=peer2 IRC:p=S Channel:s=Channels Reason:s=*gone now*"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.run();
        for (const std::string& pattern : step.expect)
            ASSERT_TRUE(Expect(pattern)) << "missing, in order: " << pattern << "\nreceived:\n"
                                         << Received();
    }
}

TEST_P(ServerSessionTest, WhoisOfAnUnknownNickIsAnError)
{
    fSession->RawCommand("WHOIS nobody");
    EXPECT_TRUE(Expect("Amsh type:i=17 IRC:p=S Nick:s=nobody Channel:s=Active Channel Info:s=*"));
}

TEST_P(ServerSessionTest, ServerGoingAwayIsReported)
{
    fServer->Stop();
    EXPECT_TRUE(Expect("Amsg type:i=20 Nick:s= Said:s=*** Connection to server lost. Server:p=W"));
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerSessionTest,
                         ::testing::Values(ServerFamily::kNgircd, ServerFamily::kInspircd),
                         [](const auto& info) { return testsupport::FamilyName(info.param); });

} // namespace
