#include "Identd.h"

#include <LoopbackPort.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

using testsupport::DialLoopback;

// Everything the responder sends until it closes, or until timeoutMs passes.
struct Reply
{
    std::string bytes;
    bool closed = false;
};

Reply ReadAll(int fd, int timeoutMs)
{
    Reply reply;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return reply;
        char buffer[512];
        ssize_t got = recv(fd, buffer, sizeof(buffer), 0);
        if (got <= 0) {
            reply.closed = true;
            return reply;
        }
        reply.bytes.append(buffer, got);
    }
}

Reply Ask(uint16_t port, const std::string& request, int timeoutMs = 2000)
{
    int fd = DialLoopback(port);
    if (fd < 0)
        return {};
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    Reply reply = ReadAll(fd, timeoutMs);
    close(fd);
    return reply;
}

class IdentdTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fOptions.port = testsupport::FreeLoopbackPort();
        fOptions.loopbackOnly = true;
        fOptions.readLimitMs = 300;
        ASSERT_NE(fOptions.port, 0);
    }
    void TearDown() override { identd::StopIdentd(); }

    void Start(const char* user)
    {
        ASSERT_EQ(identd::StartIdentd(user, fOptions), B_OK);
        ASSERT_TRUE(testsupport::WaitForListener(fOptions.port, 2000));
    }

    identd::Options fOptions;
};

TEST_F(IdentdTest, AnswersRequestsAndCloses)
{
    Start("alice");
    const std::string hundred(100, 'x');
    struct Case
    {
        std::string request;
        std::string answer;
    } cases[] = {
        {"6667, 1025\r\n", "6667, 1025 : USERID : BeOS : alice\r\n"},
        {hundred + "\r\n", std::string(63, 'x') + " : USERID : BeOS : alice\r\n"},
        // A line feed alone ends the request too, instead of being echoed into the answer.
        {"113 , 4000\n", "113 , 4000 : USERID : BeOS : alice\r\n"},
        // A client that closes early gets what it sent.
        {"", " : USERID : BeOS : alice\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        int fd = DialLoopback(fOptions.port);
        ASSERT_GE(fd, 0);
        send(fd, c.request.data(), c.request.size(), MSG_NOSIGNAL);
        if (c.request.empty())
            shutdown(fd, SHUT_WR);
        Reply reply = ReadAll(fd, 2000);
        close(fd);
        EXPECT_EQ(reply.bytes, c.answer);
        EXPECT_TRUE(reply.closed);
    }
}

TEST_F(IdentdTest, CutsRequestsOnCharacterBoundaries)
{
    Start("bob");
    // 62 ASCII bytes, then a two-byte character that would straddle the 63-byte limit.
    std::string request = std::string(62, 'a') + "\xC3\xA9" + "\r\n";
    EXPECT_EQ(Ask(fOptions.port, request).bytes,
              std::string(62, 'a') + " : USERID : BeOS : bob\r\n");
}

TEST_F(IdentdTest, LongUserNameIsCutToFitTheAnswer)
{
    std::string user(400, 'u');
    Start(user.c_str());
    Reply reply = Ask(fOptions.port, "1, 2\r\n");
    ASSERT_GT(reply.bytes.size(), 2u);
    EXPECT_LE(reply.bytes.size(), 255u + 2u);
    EXPECT_EQ(reply.bytes.rfind("1, 2 : USERID : BeOS : uuu", 0), 0u);
}

TEST_F(IdentdTest, SecondStartReplacesTheResponder)
{
    Start("first");
    EXPECT_EQ(Ask(fOptions.port, "1, 2\r\n").bytes, "1, 2 : USERID : BeOS : first\r\n");
    Start("second");
    EXPECT_EQ(Ask(fOptions.port, "1, 2\r\n").bytes, "1, 2 : USERID : BeOS : second\r\n");
}

TEST_F(IdentdTest, SilentClientDoesNotBlockOthersAndTimesOut)
{
    Start("carol");
    int silent = DialLoopback(fOptions.port);
    ASSERT_GE(silent, 0);
    send(silent, "12, 34", 6, MSG_NOSIGNAL);

    auto before = Clock::now();
    EXPECT_EQ(Ask(fOptions.port, "5, 6\r\n").bytes, "5, 6 : USERID : BeOS : carol\r\n");
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(250));

    // The silent one is answered with what came once the read limit (300 ms) is up.
    Reply late = ReadAll(silent, 3000);
    close(silent);
    EXPECT_EQ(late.bytes, "12, 34 : USERID : BeOS : carol\r\n");
    EXPECT_TRUE(late.closed);
}

TEST_F(IdentdTest, ConnectionsBeyondTheCapAreClosedAtOnce)
{
    fOptions.maxRequests = 1;
    fOptions.readLimitMs = 5000;
    ASSERT_EQ(identd::StartIdentd("dave", fOptions), B_OK);
    // The holder must be the first connection (a readiness probe would take the one slot).
    int holder = -1;
    for (int i = 0; i < 200 && holder < 0; i++) {
        holder = DialLoopback(fOptions.port);
        if (holder < 0)
            usleep(5 * 1000);
    }
    ASSERT_GE(holder, 0);
    // Let the listener hand the first connection to its request thread.
    usleep(100 * 1000);
    Reply refused = Ask(fOptions.port, "1, 2\r\n", 1000);
    EXPECT_TRUE(refused.closed);
    EXPECT_EQ(refused.bytes, "");
    close(holder);
}

TEST_F(IdentdTest, BindIsRetriedUntilThePortIsFree)
{
    int blocker = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(fOptions.port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(blocker, 1), 0);

    testing::internal::CaptureStderr();
    ASSERT_EQ(identd::StartIdentd("erin", fOptions), B_OK);
    usleep(200 * 1000); // several failed attempts
    std::string said = testing::internal::GetCapturedStderr();
    // Said once, with the reason.
    EXPECT_EQ(said, "identd: cannot listen on port " + std::to_string(fOptions.port) +
                        " (Address already in use); retrying\n");
    close(blocker);
    ASSERT_TRUE(testsupport::WaitForListener(fOptions.port, 3000));
    EXPECT_EQ(Ask(fOptions.port, "7, 8\r\n").bytes, "7, 8 : USERID : BeOS : erin\r\n");
}

TEST_F(IdentdTest, StopClosesTheListenerPromptly)
{
    Start("frank");
    int pending = DialLoopback(fOptions.port); // a request in progress must not hold the stop up
    ASSERT_GE(pending, 0);
    usleep(50 * 1000);
    auto before = Clock::now();
    identd::StopIdentd();
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(200));
    EXPECT_TRUE(ReadAll(pending, 1000).closed);
    close(pending);
    EXPECT_LT(DialLoopback(fOptions.port), 0);
}

} // namespace
