#include "SessionFixture.h"

#include <LoopbackPort.h>
#include <Messenger.h>
#include <StopSignal.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

const char* const kLost = "Amsg type:i=20 Nick:s= Said:s=*** Connection to server lost. Server:p=W";

long MillisecondsSince(Clock::time_point start)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST_F(SessionTest, ServerLinesArriveInOrderAndBufferedLinesAreNotHeldBack)
{
    // One write carrying several lines: the ones after the first are already buffered by the
    // time the first is dispatched.
    ASSERT_TRUE(fServer.Send(":srv 001 me :Welcome\r\n"
                             ":bob!b@h PRIVMSG me :psst\r\n"
                             ":bob!b@h JOIN :#chan\r\n"
                             ":srv 353 me = #chan :@me bob\r\n"
                             ":srv 366 me #chan :End of NAMES list.\r\n"
                             ":bob!b@h PRIVMSG me :\x01"
                             "ACTION hides\x01\r\n"));
    ASSERT_TRUE((*fCollector)->WaitForCount(8, 1000));
    EXPECT_EQ(Messages(), (Lines{
                              "Amsg type:i=20 Nick:s=me Said:s=Welcome Server:p=W",
                              "Amsl Channel:s=bob IRC:p=S Window:p=W",
                              "Amsh type:i=0 Nick:s=bob IRC:p=S Channel:s=bob Said:s=psst",
                              "Amsh type:i=4 Nick:s=bob IRC:p=S Host:s=b@h Channel:s=#chan",
                              "Amsh type:i=7 Channel:s=#chan List:s=@me bob IRC:p=S",
                              "Amsh type:i=8 Nick:s=#chan IRC:p=S Channel:s=#chan Topic:s=",
                              "Amsl Channel:s=bob IRC:p=S Window:p=W",
                              "Amsh type:i=0 Nick:s=bob Channel:s=bob IRC:p=S Said:s=hides "
                              "Action:b=1",
                          }));
    // The session marks itself invisible after each channel's name list.
    EXPECT_EQ(Wire(), "MODE me +i\r\n");
}

TEST_F(SessionTest, InvisibleModeUsesTheCurrentNick)
{
    fSession->ChangeNick("other");
    ASSERT_TRUE(fServer.Send(":srv 366 other #chan :End of NAMES list.\r\n"));
    ASSERT_TRUE(fServer.WaitFor("MODE other +i\r\n"));
}

TEST_F(SessionTest, IgnoredNicksAreDroppedWithoutReplies)
{
    const std::string fromBob = ":BOB!b@h PRIVMSG #chan :hi\r\n"
                                ":bob!b@h PRIVMSG me :\x01VERSION\x01\r\n"
                                ":Bob!b@h NOTICE me :psst\r\n"
                                ":bob!b@h PRIVMSG me :\x01"
                                "ACTION waves\x01\r\n";
    // Not yet ignored: bob is shown and answered.
    ASSERT_TRUE(fServer.Send(fromBob + ":carol!c@h PRIVMSG #chan :done\r\n"));
    ASSERT_GE((*fCollector)->WaitForMatch("Amsh type:i=0 Nick:s=carol *"), 0);
    // bob: message, CTCP request (raw line), notice, window request and action; carol
    EXPECT_EQ(Messages().size(), 6u);
    EXPECT_NE(Wire().find("NOTICE bob :\x01VERSION"), std::string::npos);

    EXPECT_TRUE(fSession->Ignore("bOb"));
    EXPECT_TRUE(fSession->IsIgnored("BOB"));
    EXPECT_FALSE(fSession->IsIgnored("carol"));
    ASSERT_TRUE(fServer.Send(fromBob + ":carol!c@h PRIVMSG #chan :again\r\n"));
    ASSERT_GE((*fCollector)->WaitForMatch("Amsh type:i=0 Nick:s=carol *"), 0);
    EXPECT_EQ(Messages(), Lines{"Amsh type:i=0 Nick:s=carol IRC:p=S Channel:s=#chan Said:s=again"});
    EXPECT_EQ(Wire(), "");
    // Other events from an ignored nick still arrive: the channel must learn that bob left.
    ASSERT_TRUE(fServer.Send(":bob!b@h PART #chan\r\n"));
    EXPECT_GE((*fCollector)->WaitForMatch("Amsh type:i=2 IRC:p=S Nick:s=bob *"), 0);
}

TEST_F(SessionTest, ServerClosingTheConnectionIsReportedOnce)
{
    ASSERT_TRUE(fServer.Send(":srv 001 me :Welcome\r\n"));
    fServer.CloseClient();
    ASSERT_GE((*fCollector)->WaitForMatch(kLost), 0);
    usleep(50 * 1000);
    EXPECT_EQ((*fCollector)->CountMatches(kLost), 1u);
    EXPECT_EQ((*fCollector)->CountMatches("Amsg type:i=20 Nick:s=me Said:s=Welcome *"), 1u);
    auto start = Clock::now();
    EXPECT_EQ(fSession->Disconnect("bye"), 0);
    EXPECT_LT(MillisecondsSince(start), 100);
}

TEST_F(SessionTest, AReceiverFarBehindHoldsTheReadingBackWithoutLosingALine)
{
    constexpr int kLines = 10000;
    std::string flood;
    for (int i = 0; i < kLines; i++)
        flood += ":srv 001 me :line " + std::to_string(i) + "\r\n";
    // The stand-in for the main view is held up: what the reader sends it stays queued.
    ASSERT_TRUE((*fCollector)->Lock());
    std::thread sender([&] { EXPECT_TRUE(fServer.Send(flood)); });
    BMessenger collector(nullptr, fCollector->Get());
    auto queued = [&] { return collector.CountQueuedMessages(); };
    auto start = Clock::now();
    // The reader stops at 512 queued; the stand-in may have taken one before the lock held it.
    while (queued() < 500 && MillisecondsSince(start) < 3000)
        usleep(1000);
    usleep(200 * 1000);
    EXPECT_GE(queued(), 500);
    EXPECT_LT(queued(), 700) << "the reader went on reading while nothing was taken";
    // A receiver that takes nothing for a second is not waited for any longer.
    while (queued() < kLines - 1 && MillisecondsSince(start) < 5000)
        usleep(10 * 1000);
    EXPECT_GE(queued(), kLines - 1) << "a held-up receiver stopped the reader for good";
    (*fCollector)->Unlock();
    sender.join();
    std::vector<std::string> lines = Messages();
    ASSERT_EQ(lines.size(), static_cast<size_t>(kLines));
    for (int i = 0; i < kLines; i += 997)
        EXPECT_NE(lines[i].find("Said:s=line " + std::to_string(i) + " Server:"), std::string::npos)
            << lines[i];
}

TEST(SessionStop, AShortWaitForTheStopSleepsTheTimeAsked)
{
    StopSignal stop;
    for (int round = 0; round < 20; round++) {
        auto start = Clock::now();
        EXPECT_FALSE(stop.WaitFor(1));
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(1)) << "round " << round;
    }
    stop.Raise();
    EXPECT_TRUE(stop.WaitFor(1000));
}

TEST_F(SessionTest, StoppingASilentConnectionIsPrompt)
{
    // The server neither sends nor closes: the reader waits in poll and must see the stop.
    usleep(20 * 1000);
    auto start = Clock::now();
    fSession->KillThreads();
    EXPECT_LT(MillisecondsSince(start), 100);
    start = Clock::now();
    EXPECT_EQ(fSession->Disconnect("bye"), 0);
    EXPECT_LT(MillisecondsSince(start), 100);
    EXPECT_TRUE(fServer.WaitFor("QUIT :bye\r\n"));
    // Nothing is reported for a connection the session closed itself.
    EXPECT_EQ(Messages(), Lines{});
}

TEST(SessionStop, DisconnectIsPromptWhileTheReaderIsStuckSending)
{
    IRC_SetDiagnosticSink(nullptr);
    // A server that floods PINGs and never reads: the PONGs fill the session's send buffer
    // until the reader blocks in a send.
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int small = 4096;
    setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof(small));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

    int window = 0;
    IRC session("me", "me", "rn", "127.0.0.1", ntohs(address.sin_port), new BMessage('Airc'),
                nullptr, nullptr);
    CollectorHandle collector(&session, &window);
    session.SetTarget(collector.Get(), nullptr);
    ASSERT_EQ(session.Connect(), 0);
    int peer = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    ASSERT_GE(peer, 0);

    const std::string ping = "PING :" + std::string(1000, 'p') + "\r\n";
    bool stuck = false;
    auto deadline = Clock::now() + std::chrono::seconds(30);
    // Once the reader is stuck, nothing drains our sends any more.
    while (!stuck && Clock::now() < deadline) {
        if (send(peer, ping.data(), ping.size(), MSG_NOSIGNAL | MSG_DONTWAIT) >= 0)
            continue;
        ASSERT_TRUE(errno == EAGAIN || errno == EWOULDBLOCK);
        pollfd room{peer, POLLOUT, 0};
        stuck = poll(&room, 1, 300) == 0;
    }
    ASSERT_TRUE(stuck) << "the reader never blocked";

    auto start = Clock::now();
    EXPECT_EQ(session.Disconnect("bye"), 0);
    EXPECT_LT(MillisecondsSince(start), 150);
    close(peer);
    close(listener);
}

TEST(SessionStop, UnresolvableHostFailsAndTheIdleReaderStops)
{
    IRC_SetDiagnosticSink(nullptr);
    int window = 0;
    IRC session("me", "me", "rn", "no-such-host.invalid", 6667, new BMessage('Airc'), nullptr,
                nullptr);
    CollectorHandle collector(&session, &window);
    session.SetTarget(collector.Get(), nullptr);
    session.SetServer(&window);
    EXPECT_EQ(session.Connect(), -1);
    char error[128];
    session.Error(error);
    EXPECT_STREQ(error, "Couldn't resolve no-such-host.invalid");
    usleep(20 * 1000);
    auto start = Clock::now();
    session.KillThreads();
    EXPECT_LT(MillisecondsSince(start), 100);
    // A connection that never opened is not reported as lost.
    BMessage sync('SYNC');
    session.Invoke(&sync);
    EXPECT_EQ(collector->TakeUntil("SYNC"), Lines{});
    EXPECT_EQ(session.Disconnect("bye"), 0);
}

} // namespace
