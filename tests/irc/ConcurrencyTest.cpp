// Threads sharing one connection and the process-wide texts.

#include "FakeServer.h"
#include "IrcTestUtil.h"
#include "irc_globals.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <thread>

namespace irctest {
namespace {

TEST(ConcurrencyTest, LinesFromTwoThreadsNeverInterleave)
{
    testsupport::FakeServer server;
    ServPtr serv(IRC_GetServ());
    ASSERT_EQ(
        IRC_StartConnect(serv.get(), "127.0.0.1", server.Port(), "me", "me`", nullptr, "R", "u"),
        1);
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(server.WaitFor("\r\n", 2));
    server.ClearReceived();
    int small = 4096; // a small send buffer makes short sends common
    setsockopt(serv->sock, SOL_SOCKET, SO_SNDBUF, &small, sizeof(small));

    // Long sends and many of them, so the socket fills up and sends come back short. Commands
    // are cut to a protocol line, so the sends are made directly.
    constexpr int kLines = 1500;
    const std::string a = "PRIVMSG #a :" + std::string(2000, 'a');
    const std::string b = "PRIVMSG #b :" + std::string(2000, 'b');
    auto sender = [&serv](const std::string& line) {
        const std::string wire = line + "\r\n";
        for (int i = 0; i < kLines; ++i)
            IRC_Send(serv.get(), wire.data(), wire.size());
    };
    std::thread first(sender, a);
    std::thread second(sender, b);
    // Reading late and in bursts keeps the socket full, so both threads are mid-line often.
    for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        server.Collect(1);
    }
    bool all = server.WaitFor("\r\n", 2 * kLines, 10000);
    first.join();
    second.join();
    ASSERT_TRUE(all);

    std::istringstream wire(server.Received());
    int linesA = 0;
    int linesB = 0;
    for (std::string line; std::getline(wire, line);) {
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        if (line == a)
            ++linesA;
        else if (line == b)
            ++linesB;
        else
            FAIL() << "torn line of " << line.size() << " bytes";
    }
    EXPECT_EQ(linesA, kLines);
    EXPECT_EQ(linesB, kLines);
}

TEST(ConcurrencyTest, ErrorTextIsNeverTorn)
{
    const std::string one(120, '1');
    const std::string two(120, '2');
    irc_set_error("%s", one.c_str());
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        while (!stop.load()) {
            irc_set_error("%s", one.c_str());
            irc_set_error("%s", two.c_str());
        }
    });
    int torn = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string seen = CopiedError();
        if (seen != one && seen != two)
            ++torn;
    }
    stop = true;
    writer.join();
    EXPECT_EQ(torn, 0);
}

} // namespace
} // namespace irctest
