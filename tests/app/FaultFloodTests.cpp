// Floods against the running client: a thousand CTCP requests, a peer sending 100,000 lines
// while the user types, and two hundred ident connections at once. Replies stay within
// their rate, nothing shown or typed is lost or reordered, and the client stays responsive.

#include "FaultFixture.h"

#include <FakeServer.h>
#include <LoopbackPort.h>

#include <IrcReplyLimiter.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using apptest::FaultTest;
using kittest::WaitUntil;
using testsupport::FakeServer;

TEST_F(FaultTest, CtcpFloodIsAnsweredOnlyAtTheReplyRate)
{
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(Feed(server, ":srv 001 velmor :Welcome\r\n"));
    server.ClearReceived();

    const bigtime_t start = system_time();
    static constexpr const char* kRequests[] = {"VERSION", "PING 12345", "FINGER", "CDCC LIST"};
    std::string flood;
    for (int i = 0; i < 1000; i++)
        flood += ":bot" + std::to_string(i) + "!b@h PRIVMSG velmor :\x01" + kRequests[i % 4] +
                 "\x01\r\n";
    ASSERT_TRUE(Feed(server, flood + ":alice!a@h PRIVMSG velmor :after the flood\r\n"));
    const bigtime_t took = system_time() - start;
    server.Collect(100);

    // The cap holds in every window of the limiter's length the flood spanned.
    const size_t windows = 1 + static_cast<size_t>(took / (IrcReplyLimiter::kWindowMs * 1000));
    const size_t replies = server.Count("NOTICE bot");
    EXPECT_GE(replies, 1u);
    EXPECT_LE(replies, IrcReplyLimiter::kMaxReplies * windows) << server.Received();
    // The server's own pings are still answered at once.
    EXPECT_EQ(server.Count("PONG "), 1u);

    // The private message after the flood reached its window.
    ASSERT_TRUE(WaitUntil([&] {
        Settle();
        auto peer = list->Find("alice");
        return peer != nullptr && Text(peer).find("after the flood") != std::string::npos;
    }));
    EXPECT_TRUE(fDisplay.Alerts().empty());
    EXPECT_TRUE(CloseAndWait(list->Server()));
    EXPECT_TRUE(QuitAndWait());
}

// The flood line numbers as shown, in order of appearance, and the typed lines' positions.
struct Shown
{
    std::vector<int> flood;
    std::vector<int> typed;
};

Shown Parse(const std::vector<std::string>& lines)
{
    Shown shown;
    for (const std::string& line : lines) {
        size_t at = line.find("<peer> flood ");
        if (at != std::string::npos) {
            shown.flood.push_back(std::stoi(line.substr(at + 13)));
            continue;
        }
        at = line.find("typed line ");
        if (at != std::string::npos)
            shown.typed.push_back(std::stoi(line.substr(at + 11)));
    }
    return shown;
}

TEST_F(FaultTest, PeerFloodingAHundredThousandLinesWhileTheUserTypesLosesNothing)
{
    constexpr int kLines = 100000;
    constexpr int kTyped = 20;
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    auto channel = Join(server, list, "#flood");
    ASSERT_NE(channel, nullptr);
    ASSERT_TRUE(Feed(server, ":peer!p@h JOIN :#flood\r\n"));
    server.ClearReceived();

    // The peer floods from its own thread; the test types meanwhile and reads what is sent.
    std::thread peer([&] {
        std::string chunk;
        for (int i = 0; i < kLines; i++) {
            chunk += ":peer!p@h PRIVMSG #flood :flood " + std::to_string(i) + "\r\n";
            if (chunk.size() > 32768 || i == kLines - 1) {
                if (!server.Send(chunk))
                    return;
                chunk.clear();
            }
        }
    });
    // The user types all the lines at once, far ahead of a window busy with the flood.
    std::string typed = "typed line 0";
    for (int i = 1; i < kTyped; i++)
        typed += "\ntyped line " + std::to_string(i);
    Enter(channel, typed);
    EXPECT_TRUE(server.WaitFor("PRIVMSG #flood :typed line " + std::to_string(kTyped - 1) + "\r\n",
                               1, 60000))
        << server.Received().substr(0, 2000);
    peer.join();
    ASSERT_TRUE(Feed(server, "", 60000));

    // Every flood line once, in order; every typed line once, in order.
    const Shown shown = Parse(Lines(Text(channel)));
    ASSERT_EQ(shown.flood.size(), static_cast<size_t>(kLines));
    for (int i = 0; i < kLines; i++)
        ASSERT_EQ(shown.flood[static_cast<size_t>(i)], i) << "line " << i;
    ASSERT_EQ(shown.typed.size(), static_cast<size_t>(kTyped));
    for (int i = 0; i < kTyped; i++)
        EXPECT_EQ(shown.typed[static_cast<size_t>(i)], i);
    // What went out is the typed lines, in order, each whole.
    size_t at = 0;
    for (int i = 0; i < kTyped; i++) {
        at = server.Received().find("PRIVMSG #flood :typed line " + std::to_string(i) + "\r\n", at);
        ASSERT_NE(at, std::string::npos) << i;
    }
    EXPECT_TRUE(CloseAndWait(list->Server()));
    EXPECT_TRUE(QuitAndWait());
}

// "new identd accept", as the system keeps thread names (15 bytes).
constexpr const char* kRequestThread = "new identd acce";

using testsupport::DialLoopback;

// Everything the peer sends until it closes (or the time is up); true when it closed.
bool ReadToEnd(int fd, int timeoutMs, std::string* bytes)
{
    pollfd entry{fd, POLLIN, 0};
    char buffer[256];
    while (poll(&entry, 1, timeoutMs) == 1) {
        ssize_t got = recv(fd, buffer, sizeof(buffer), 0);
        if (got <= 0)
            return true;
        bytes->append(buffer, static_cast<size_t>(got));
    }
    return false;
}

// Slow ident clients hold their requests' places, a flood beyond them is turned away, and
// neither touches the session; once they are gone queries are answered again, and quitting
// does not wait for the slow ones.
TEST_F(FaultTest, IdentFloodAndSlowClientsLeaveTheSessionAndLaterQueriesAlone)
{
    identd::Options options = fIdent;
    options.readLimitMs = 5000;
    ASSERT_TRUE(fWindow->Lock());
    fView->SetIdentdOptions(options);
    fWindow->Unlock();
    SetField("fUserName", "carol");
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(testsupport::WaitForListener(options.port, 2000));
    // The listener's probe holds a place until its request has ended: one query answered
    // after it, and no request left, means every place is free for the slow clients.
    int first = DialLoopback(options.port);
    ASSERT_GE(first, 0);
    send(first, "1, 2\r\n", 6, MSG_NOSIGNAL);
    std::string firstAnswer;
    EXPECT_TRUE(ReadToEnd(first, 2000, &firstAnswer));
    close(first);
    ASSERT_TRUE(WaitUntil([&] { return apptest::CountThreads(kRequestThread) == 0; }));

    // Slow clients: a request that never ends, holding every place there is.
    std::vector<int> slow;
    for (int i = 0; i < options.maxRequests; i++) {
        int fd = DialLoopback(options.port);
        ASSERT_GE(fd, 0);
        send(fd, "1", 1, MSG_NOSIGNAL);
        slow.push_back(fd);
    }
    ASSERT_TRUE(
        WaitUntil([&] { return apptest::CountThreads(kRequestThread) == options.maxRequests; }));

    // The flood, all at once: no connection beyond the cap is answered or gets a thread;
    // those the listener took are closed at once (the rest wait in the kernel's queue).
    std::vector<pollfd> flood;
    for (int i = 0; i < 200; i++) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(options.port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        flood.push_back({fd, POLLIN, 0});
    }
    int closed = 0;
    int answered = 0;
    const bigtime_t deadline = system_time() + 1000000;
    while (closed + answered < 200 && system_time() < deadline) {
        if (poll(flood.data(), flood.size(), 100) <= 0)
            continue;
        for (pollfd& entry : flood) {
            if (entry.fd < 0 || entry.revents == 0)
                continue;
            char byte;
            ssize_t got = recv(entry.fd, &byte, 1, 0);
            if (got > 0)
                answered++;
            else if (got < 0 && errno == EAGAIN)
                continue;
            else
                closed++;
            close(entry.fd);
            entry.fd = -1;
        }
        EXPECT_LE(apptest::CountThreads(kRequestThread), options.maxRequests);
    }
    EXPECT_EQ(answered, 0);
    EXPECT_GT(closed, 0);
    for (pollfd& entry : flood) {
        if (entry.fd >= 0)
            close(entry.fd);
    }

    // The session went on meanwhile.
    ASSERT_TRUE(Feed(server, ":srv 001 velmor :Welcome through the flood\r\n"));
    EXPECT_NE(Text(list->Server()).find("Welcome through the flood"), std::string::npos);

    // A slow client that finishes is answered; its place serves the next query.
    send(slow[0], ", 2\r\n", 5, MSG_NOSIGNAL);
    std::string answer;
    EXPECT_TRUE(ReadToEnd(slow[0], 2000, &answer));
    EXPECT_EQ(answer, "1, 2 : USERID : BeOS : carol\r\n");
    close(slow[0]);
    ASSERT_TRUE(
        WaitUntil([&] { return apptest::CountThreads(kRequestThread) < options.maxRequests; }));
    int next = DialLoopback(options.port);
    ASSERT_GE(next, 0);
    send(next, "7, 8\r\n", 6, MSG_NOSIGNAL);
    answer.clear();
    EXPECT_TRUE(ReadToEnd(next, 2000, &answer));
    EXPECT_EQ(answer, "7, 8 : USERID : BeOS : carol\r\n");
    close(next);

    // Quitting with the other slow clients still there is prompt, and ends their threads.
    EXPECT_TRUE(QuitAndWait(2000000));
    EXPECT_EQ(apptest::CountThreads(kRequestThread), 0);
    for (size_t i = 1; i < slow.size(); i++)
        close(slow[i]);
    EXPECT_TRUE(fDisplay.Alerts().empty());
}

} // namespace
