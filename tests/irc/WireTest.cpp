// Exact bytes on the wire, against a recording fake server.

#include "FakeServer.h"
#include "IrcTestUtil.h"
#include "LoopbackPort.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace irctest {
namespace {

using testsupport::FakeServer;

class WireTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(fServer.Port(), 0);
        fServ.reset(IRC_GetServ());
        ASSERT_EQ(IRC_StartConnect(fServ.get(), "127.0.0.1", fServer.Port(), "me", "me`", nullptr,
                                   "Real Name", "user"),
                  1)
            << CopiedError();
        ASSERT_TRUE(fServer.Accept());
        ASSERT_TRUE(fServer.WaitFor("USER"));
        fServer.WaitFor("\r\n", 2);
        fServer.ClearReceived();
    }

    // The server sends a line; we read it as an event.
    void Feed(const std::string& line)
    {
        ASSERT_TRUE(fServer.Send(line + "\r\n"));
        ASSERT_EQ(NextEvent(fServ.get(), fEvent), 1) << line;
    }

    FakeServer fServer;
    ServPtr fServ;
    Event fEvent;
};

TEST(RegistrationTest, NickThenUser)
{
    FakeServer server;
    ServPtr serv(IRC_GetServ());
    ASSERT_EQ(
        IRC_StartConnect(serv.get(), "localhost", server.Port(), "a", "a`", "ignored", "R", "u"),
        1);
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(server.WaitFor("\r\n", 2));
    EXPECT_EQ(server.Received(), "NICK a\r\nUSER u host server :R\r\n");
    EXPECT_EQ(serv->state, 1);
    EXPECT_STREQ(serv->server, "localhost");
    EXPECT_STREQ(serv->nick, "a");
    EXPECT_STREQ(serv->altnick, "a`");
    EXPECT_STREQ(serv->username, "u");
    EXPECT_STREQ(serv->realname, "R");
}

TEST(RegistrationTest, FailuresLeaveTheirText)
{
    ServPtr serv(IRC_GetServ());
    const std::string host = std::string(70, 'q') + ".invalid"; // fails without a query
    EXPECT_EQ(IRC_StartConnect(serv.get(), host.c_str(), 6667, "a", "b", nullptr, "R", "u"), 0);
    EXPECT_EQ(CopiedError(), "Couldn't resolve " + host);
    EXPECT_EQ(serv->state, 0);
    EXPECT_EQ(serv->sock, -1);
    EXPECT_EQ(IRC_Stat(serv.get(), 2), 0);
    Event event;
    EXPECT_EQ(IRC_GetEvent(serv.get(), &event.record), -1);

    const std::string longHost(300, 'h');
    EXPECT_EQ(IRC_StartConnect(serv.get(), longHost.c_str(), 6667, "a", "b", nullptr, "R", "u"), 0);
    EXPECT_EQ(CopiedError(), ("Couldn't resolve " + longHost).substr(0, 127));

    in_addr ignored;
    EXPECT_EQ(IRC_GHBN(host.c_str(), &ignored), 0);
    EXPECT_EQ(CopiedError(), "Couldn't resolve IRC server");

    uint16_t closedPort = testsupport::FreeLoopbackPort();
    EXPECT_EQ(IRC_StartConnect(serv.get(), "127.0.0.1", closedPort, "a", "b", nullptr, "R", "u"),
              0);
    EXPECT_EQ(CopiedError(), "Couldn't connect to server");
    EXPECT_EQ(serv->sock, -1);
}

TEST_F(WireTest, CommandAppendsOneLineEnd)
{
    EXPECT_EQ(IRC_Command(fServ.get(), "PING x"), 8);
    ASSERT_TRUE(fServer.WaitFor("\r\n"));
    EXPECT_EQ(fServer.Received(), "PING x\r\n");
}

TEST_F(WireTest, CommandNeverStartsASecondLine)
{
    IRC_Command(fServ.get(), "PRIVMSG #c :a\r\nQUIT :injected");
    IRC_Command(fServ.get(), "PRIVMSG #c :b\nKICK #c x");
    IRC_Command(fServ.get(), "PRIVMSG #c :c\rMODE #c +o x");
    IRC_Command(fServ.get(), "");
    ASSERT_TRUE(fServer.WaitFor("\r\n", 4));
    fServer.Collect(20);
    EXPECT_EQ(fServer.Received(), "PRIVMSG #c :a\r\nPRIVMSG #c :b\r\nPRIVMSG #c :c\r\n\r\n");
}

TEST_F(WireTest, CommandKeepsToTheProtocolLineLength)
{
    // 508 bytes, then a three-byte character that would end past the limit.
    const std::string head = "PRIVMSG #c :" + std::string(496, 'x');
    IRC_Command(fServ.get(), (head + "\xE2\x82\xAC" + "tail").c_str());
    // Exactly at the limit, nothing is cut.
    const std::string full = "PRIVMSG #c :" + std::string(498, 'y');
    IRC_Command(fServ.get(), (full + "z").c_str());
    IRC_Command(fServ.get(), full.c_str());
    ASSERT_TRUE(fServer.WaitFor("\r\n", 3));
    fServer.Collect(20);
    EXPECT_EQ(fServer.Received(), head + "\r\n" + full + "\r\n" + full + "\r\n");
}

TEST_F(WireTest, SendResultIsReported)
{
    static std::mutex seenLock;
    static std::vector<std::string> seen;
    seen.clear();
    IRC_SetDiagnosticSink([](const char* text) {
        std::lock_guard<std::mutex> hold(seenLock);
        seen.emplace_back(text);
    });
    IRC_Command(fServ.get(), "PING x");
    fServer.Send(":srv NOTICE me :hi\r\n");
    NextEvent(fServ.get(), fEvent);
    IRC_SetDiagnosticSink(nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"returning 8\n", ":srv NOTICE me :hi\n"}));
}

TEST_F(WireTest, DisconnectSendsQuitAndCloses)
{
    // Lines we never read are waiting: the close must still deliver the QUIT cleanly.
    fServer.Send(":srv NOTICE me :one\r\n:srv NOTICE me :two\r\n");
    fServer.ShutdownSend();
    IRC_Disconnect(fServ.release(), "bye");
    EXPECT_TRUE(fServer.WaitForClose());
    EXPECT_EQ(fServer.Received(), "QUIT :bye\r\n");
    EXPECT_FALSE(fServer.WasReset());
}

TEST_F(WireTest, DisconnectDoesNotWaitLongForAServerThatStaysOpen)
{
    auto started = std::chrono::steady_clock::now();
    IRC_Disconnect(fServ.release(), "bye");
    auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_TRUE(fServer.WaitForClose());
    EXPECT_EQ(fServer.Received(), "QUIT :bye\r\n");
}

TEST_F(WireTest, ServerPingIsAnswered)
{
    Feed("PING :srv1");
    EXPECT_EQ(fEvent.record.type, IRC_EV_RAW);
    EXPECT_EQ(fEvent.Sender(), "srv1");
    ASSERT_TRUE(fServer.WaitFor("\r\n"));
    EXPECT_EQ(fServer.Received(), "PONG srv1\r\n");
    EXPECT_EQ(CopiedOut(), "Playing ping-pong with server!\n");
}

TEST_F(WireTest, CtcpRequestsAreAnswered)
{
    Feed(":nick!u@h PRIVMSG me :\x01VERSION\x01");
    Feed(":nick!u@h PRIVMSG me :\x01PING 1234 5678\x01");
    EXPECT_EQ(CopiedOut(), "Playing ping-pong with nick!\n");
    Feed(":nick!u@h PRIVMSG me :\x01"
         "FINGER\x01");
    Feed(":nick!u@h PRIVMSG me :\x01"
         "CDCC LIST\x01");
    ASSERT_TRUE(fServer.WaitFor("\r\n", 4));
    EXPECT_EQ(fServer.Received(),
              "NOTICE nick :\x01VERSION Powered by Oswick, stronger than you\x01\r\n"
              "NOTICE nick :\x01PING 1234 5678\x01\r\n"
              "NOTICE nick :\x01"
              "FINGER stop please\x01\r\n"
              "NOTICE nick :Go away.\r\n");
}

TEST_F(WireTest, PlainLinesAreNotAnsweredAndShowInOut)
{
    Feed(":nick!u@h PRIVMSG #c :\x01"
         "ACTION waves\x01");
    EXPECT_EQ(fEvent.record.type, IRC_EV_ACTION);
    Feed(":srv 001 me :Welcome\r");
    EXPECT_EQ(CopiedOut(), ":srv 001 me :Welcome");
    fServer.Collect(20);
    EXPECT_EQ(fServer.Received(), "");
}

TEST_F(WireTest, CtcpRepliesAreLimitedButPingsAreNot)
{
    for (int i = 0; i < 6; ++i) {
        Feed(":flood!u@h PRIVMSG me :\x01VERSION\x01");
        EXPECT_EQ(fEvent.record.type, IRC_EV_RAW);
        EXPECT_EQ(fEvent.Sender(), "flood");
    }
    for (int i = 0; i < 5; ++i)
        Feed("PING :srv" + std::to_string(i));
    ASSERT_TRUE(fServer.WaitFor("PONG srv4\r\n"));
    fServer.Collect(20);
    EXPECT_EQ(fServer.Count("NOTICE flood :\x01VERSION"), 4u);
    EXPECT_EQ(fServer.Count("PONG srv"), 5u);
}

TEST_F(WireTest, FilteredLinesAreNeitherAnsweredNorHandedOut)
{
    // Drops whatever "pest" says; everything else, and every server PING, goes through.
    IRC_SetLineFilter(
        fServ.get(),
        [](void*, const char*, const char* sender) { return strcmp(sender, "pest") != 0 ? 1 : 0; },
        nullptr);
    Feed(":friend!u@h PRIVMSG me :before");
    ASSERT_TRUE(fServer.Send(":pest!u@h PRIVMSG me :\x01VERSION\x01\r\n"
                             ":pest!u@h NOTICE me :noise\r\n"
                             "PING :srv\r\n"));
    EXPECT_EQ(NextEvent(fServ.get(), fEvent), 2);
    EXPECT_EQ(NextEvent(fServ.get(), fEvent), 2);
    EXPECT_EQ(fEvent.Sender(), "friend");
    EXPECT_EQ(NextEvent(fServ.get(), fEvent), 1);
    EXPECT_EQ(fEvent.Sender(), "srv");
    ASSERT_TRUE(fServer.WaitFor("PONG srv\r\n"));
    fServer.Collect(20);
    EXPECT_EQ(fServer.Count("NOTICE pest"), 0u);
}

} // namespace
} // namespace irctest
