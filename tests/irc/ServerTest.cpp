// Against real servers of each family: registration, PING, a second user's messages and
// CTCP requests, and the QUIT.

#include "IrcTestUtil.h"
#include "RawClient.h"
#include "TestServer.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace irctest {
namespace {

using testsupport::RawClient;
using testsupport::ServerFamily;
using testsupport::TestServer;

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

constexpr const char* kServerPing = "Playing ping-pong with server!\n";

class ServerTest : public ::testing::TestWithParam<ServerFamily>
{
protected:
    // The server PINGs every client early: ngircd before it is welcomed, InspIRCd every second.
    ServerTest() : fServer(testsupport::MakeTestServer(GetParam(), {.pingClients = true})) {}

    void SetUp() override { ASSERT_TRUE(fServer->Start()) << fServer->Error(); }

    void TearDown() override
    {
        if (HasFailure())
            std::cerr << fServer->Log();
    }

    // Reads one event into fEvent within the time, keeping IRC_Out of its line in *line.
    bool NextOf(int timeoutMs, std::string* line)
    {
        if (NextEvent(fServ.get(), fEvent, timeoutMs) != 1)
            return false;
        *line = CopiedOut();
        fLines += *line + "\n";
        if (*line == kServerPing)
            ++fPings;
        return true;
    }

    // Reads our events until one matches, keeping IRC_Out of that line in *out.
    bool Until(const std::function<bool(const Event&, const std::string& out)>& match,
               std::string* out = nullptr)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        std::string line;
        while (std::chrono::steady_clock::now() < deadline) {
            if (!NextOf(200, &line))
                continue;
            if (match(fEvent, line)) {
                if (out != nullptr)
                    *out = line;
                return true;
            }
        }
        return false;
    }

    bool UntilType(int32_t type, const std::string& rest)
    {
        return Until([&](const Event& e, const std::string&) {
            return e.record.type == type && e.Rest() == rest;
        });
    }

    std::unique_ptr<TestServer> fServer;
    ServPtr fServ{IRC_GetServ()};
    Event fEvent;
    std::string fLines; // what we read, for failure messages
    int fPings = 0;     // server PINGs answered so far
};

TEST_P(ServerTest, RegisterTalkAndQuit)
{
    // Both register at once: some servers welcome clients only on a clock tick.
    RawClient peer;
    ASSERT_TRUE(peer.Connect(fServer->Port()));
    ASSERT_TRUE(peer.SendRegistration("peer"));
    ASSERT_EQ(IRC_StartConnect(fServ.get(), "127.0.0.1", fServer->Port(), "velmor", "velmor`",
                               nullptr, "Velmor Test", "vuser"),
              1)
        << CopiedError();
    ASSERT_TRUE(Until([&](const Event& e, const std::string& out) {
        return e.record.type == IRC_EV_RAW && Has(out, " 001 velmor ");
    })) << fLines;
    if (GetParam() == ServerFamily::kNgircd) {
        EXPECT_GE(fPings, 1) << fLines; // the welcome came only after the PONG
    }

    IRC_Command(fServ.get(), "JOIN #test");
    ASSERT_TRUE(UntilType(IRC_EV_JOIN, "#test")) << fLines;

    ASSERT_TRUE(peer.WaitForWelcome());
    peer.SendLine("JOIN #test");
    ASSERT_TRUE(peer.ReadLineUntil([](const std::string& l) { return Has(l, " 366 "); }));
    ASSERT_TRUE(Until([](const Event& e, const std::string&) {
        return e.record.type == IRC_EV_JOIN && e.Sender() == "peer";
    })) << fLines;

    peer.SendLine("PRIVMSG velmor :hello there");
    ASSERT_TRUE(UntilType(IRC_EV_PRIVMSG, "hello there")) << fLines;
    EXPECT_EQ(fEvent.Sender(), "peer");
    EXPECT_EQ(fEvent.Param(), "velmor");

    peer.SendLine("PRIVMSG #test :\x01"
                  "ACTION waves\x01");
    ASSERT_TRUE(UntilType(IRC_EV_ACTION, "waves")) << fLines;
    EXPECT_EQ(fEvent.Param(), "#test");

    // Each request reaches us as a raw event, and its answer reaches the peer.
    auto notice = [](const std::string& l) { return Has(l, " NOTICE peer :"); };
    peer.SendLine("PRIVMSG velmor :\x01VERSION\x01");
    ASSERT_TRUE(UntilType(IRC_EV_RAW, "\x01VERSION\x01")) << fLines;
    auto version = peer.ReadLineUntil(notice);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->substr(0, 8), ":velmor!");
    EXPECT_TRUE(Has(*version, ":\x01VERSION Powered by Oswick, stronger than you\x01")) << *version;

    peer.SendLine("PRIVMSG velmor :\x01PING 1700000000 123\x01");
    ASSERT_TRUE(UntilType(IRC_EV_RAW, "\x01PING 1700000000 123\x01")) << fLines;
    auto pong = peer.ReadLineUntil(notice);
    ASSERT_TRUE(pong);
    EXPECT_TRUE(Has(*pong, ":\x01PING 1700000000 123\x01")) << *pong;

    if (GetParam() == ServerFamily::kInspircd) {
        // A second PING comes only when the first was answered in time. The server drops a
        // peer that misses one, so the peer answers its own all the while.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::string line;
        while (fPings < 2 && std::chrono::steady_clock::now() < deadline) {
            peer.ReadLine(50);
            NextOf(50, &line);
        }
        ASSERT_GE(fPings, 2) << fLines;
    }

    IRC_Disconnect(fServ.release(), "bye for now");
    auto quit = peer.ReadLineUntil([](const std::string& l) { return Has(l, " QUIT "); });
    ASSERT_TRUE(quit);
    EXPECT_EQ(quit->substr(0, 8), ":velmor!");
    EXPECT_TRUE(Has(*quit, "bye for now")) << *quit;
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerTest,
                         ::testing::Values(ServerFamily::kNgircd, ServerFamily::kInspircd),
                         [](const auto& info) { return testsupport::FamilyName(info.param); });

} // namespace
} // namespace irctest
