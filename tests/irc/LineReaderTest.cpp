// Reading lines from a socket: buffering, bounds and the end of the connection.

#include "IrcTestUtil.h"
#include "irc_parse.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace irctest {
namespace {

class LineReaderTest : public ::testing::Test
{
protected:
    void SetUp() override { fServ = PairedServ(&fPeer); }
    void TearDown() override { ClosePeer(); }

    void ClosePeer()
    {
        if (fPeer >= 0)
            close(fPeer);
        fPeer = -1;
    }

    // One call; the line (as bytes) in *line when the result is 1.
    int Read(std::string* line = nullptr, size_t size = 4096)
    {
        std::vector<char> buffer(size, '#');
        size_t length = 0;
        int got = IRC_get_line(fServ.get(), buffer.data(), size, &length);
        if (got == 1) {
            EXPECT_LT(length, size);
            EXPECT_EQ(buffer[length], '\0');
            if (line != nullptr)
                line->assign(buffer.data(), length);
        }
        return got;
    }

    // Every line until the socket has nothing more (or the end).
    std::vector<std::string> ReadAll(int* last = nullptr)
    {
        std::vector<std::string> lines;
        std::string line;
        int got;
        while ((got = Read(&line)) == 1)
            lines.push_back(line);
        if (last != nullptr)
            *last = got;
        return lines;
    }

    ServPtr fServ;
    int fPeer = -1;
};

using Lines = std::vector<std::string>;

TEST_F(LineReaderTest, ManyLinesInOneRead)
{
    WriteAll(fPeer, "a\r\nb\nc\r\n");
    EXPECT_EQ(ReadAll(), (Lines{"a\r\n", "b\n", "c\r\n"}));
}

TEST_F(LineReaderTest, ALineSplitAcrossManyReads)
{
    std::string line;
    for (const char* piece : {"PRIV", "MSG #c", " :hi", "\r"}) {
        WriteAll(fPeer, piece);
        EXPECT_EQ(Read(&line), 0) << piece;
    }
    WriteAll(fPeer, "\nnext");
    EXPECT_EQ(Read(&line), 1);
    EXPECT_EQ(line, "PRIVMSG #c :hi\r\n");
    EXPECT_EQ(Read(&line), 0);
}

TEST_F(LineReaderTest, BytesComeOutAsTheyWentIn)
{
    const std::string nasty("a\rb\nc\0d\n\r\n\n", 12);
    WriteAll(fPeer, nasty);
    EXPECT_EQ(ReadAll(), (Lines{"a\rb\n", std::string("c\0d\n", 4), "\r\n", "\n"}));
}

TEST_F(LineReaderTest, BufferedLineNeedsNoSocket)
{
    WriteAll(fPeer, "x\ny\n");
    std::string line;
    ASSERT_EQ(Read(&line), 1);
    EXPECT_EQ(line, "x\n");
    // The socket is drained; the second line must be known to be waiting.
    EXPECT_NE(IRC_Stat(fServ.get(), 2), 0);
    EXPECT_EQ(IRC_Wait(fServ.get(), -1, 0), 1);
    int sock = fServ->sock;
    fServ->sock = -1; // any socket access would now fail
    EXPECT_EQ(Read(&line), 1);
    EXPECT_EQ(line, "y\n");
    fServ->sock = sock;
    EXPECT_EQ(IRC_Stat(fServ.get(), 2), 0);
}

TEST_F(LineReaderTest, OverLongLineIsCutAndItsTailDropped)
{
    const size_t limit = IRC_LINE_MAX + 2;
    WriteAll(fPeer, std::string(5000, 'x') + "\r\nnext\r\n");
    EXPECT_EQ(ReadAll(), (Lines{std::string(limit, 'x'), "next\r\n"}));

    // The same when the tail arrives in later reads.
    WriteAll(fPeer, std::string(limit + 10, 'y'));
    std::string line;
    EXPECT_EQ(Read(&line), 1);
    EXPECT_EQ(line, std::string(limit, 'y'));
    WriteAll(fPeer, std::string(3000, 'y'));
    EXPECT_EQ(Read(), 0);
    WriteAll(fPeer, "yyy\nafter\n");
    EXPECT_EQ(ReadAll(), (Lines{"after\n"}));
}

TEST_F(LineReaderTest, CutNeverSplitsACharacter)
{
    std::string text = "ab";
    for (int i = 0; i < 1000; ++i)
        text += "\xf0\x9f\x98\x80"; // four bytes each; the limit falls on the last of one
    WriteAll(fPeer, text + "\n");
    std::string line;
    ASSERT_EQ(Read(&line), 1);
    EXPECT_EQ(line.size(), IRC_LINE_MAX + 2 - 3);
    EXPECT_EQ(line, text.substr(0, line.size()));
}

TEST_F(LineReaderTest, SmallCallerBufferIsRespected)
{
    WriteAll(fPeer, "abcdefghijk\nxy\n");
    std::string line;
    ASSERT_EQ(Read(&line, 8), 1);
    EXPECT_EQ(line, "abcdefg");
    ASSERT_EQ(Read(&line, 8), 1);
    EXPECT_EQ(line, "xy\n");
}

TEST_F(LineReaderTest, PeerCloseDeliversThePartialLineOnce)
{
    WriteAll(fPeer, "a\nb\npartial");
    ClosePeer();
    int last = 0;
    EXPECT_EQ(ReadAll(&last), (Lines{"a\n", "b\n", "partial"}));
    EXPECT_EQ(last, -1);
    EXPECT_NE(IRC_Ended(fServ.get()), 0);
    EXPECT_EQ(Read(), -1);
}

TEST_F(LineReaderTest, PeerCloseAfterACompleteLine)
{
    WriteAll(fPeer, "abc\n");
    ClosePeer();
    int last = 0;
    EXPECT_EQ(ReadAll(&last), (Lines{"abc\n"}));
    EXPECT_EQ(last, -1);
}

TEST_F(LineReaderTest, ReadinessOfAnEndedAndOfAClosedSocket)
{
    EXPECT_EQ(IRC_Stat(fServ.get(), 2), 0);
    EXPECT_NE(IRC_Stat(fServ.get(), 0), 0);
    ClosePeer();
    // The end is readable, so the reader comes to learn of it.
    EXPECT_NE(IRC_Stat(fServ.get(), 2), 0);
    EXPECT_EQ(Read(), -1);
    EXPECT_EQ(IRC_Stat(fServ.get(), 0), 0);
    // A descriptor that is no longer open is never ready.
    close(fServ->sock);
    EXPECT_EQ(IRC_Stat(fServ.get(), 2), 0);
    EXPECT_EQ(IRC_Stat(fServ.get(), 0), 0);
    fServ->sock = -1;
    EXPECT_EQ(IRC_Stat(fServ.get(), 2), 0);
}

TEST_F(LineReaderTest, GetEventReportsTheEndAndLeavesTheRecord)
{
    WriteAll(fPeer, ":n!u@h PRIVMSG #c :last words");
    ClosePeer();
    Event event;
    ASSERT_EQ(NextEvent(fServ.get(), event), 1);
    EXPECT_EQ(event.Rest(), "last words");
    char* rest = event.record.rest;
    EXPECT_EQ(IRC_GetEvent(fServ.get(), &event.record), -1);
    EXPECT_EQ(IRC_GetEvent(fServ.get(), &event.record), -1);
    EXPECT_EQ(event.record.rest, rest); // not replaced, not freed
    EXPECT_EQ(event.Rest(), "last words");
}

TEST_F(LineReaderTest, NothingYetLeavesTheRecord)
{
    Event event;
    WriteAll(fPeer, ":n!u@h NICK :new\r\n:half");
    ASSERT_EQ(NextEvent(fServ.get(), event), 1);
    EXPECT_EQ(IRC_GetEvent(fServ.get(), &event.record), 0);
    EXPECT_EQ(event.record.type, IRC_EV_NICK);
    EXPECT_EQ(event.Rest(), "new");
}

TEST_F(LineReaderTest, TenMegabytesWithoutLineFeed)
{
    // A writer thread, since the socket holds far less than the flood.
    std::thread writer([peer = fPeer] {
        std::string chunk(65536, 'z');
        for (int i = 0; i < 160; ++i)
            WriteAll(peer, chunk);
        WriteAll(peer, std::string(1 << 16, '\r'));
        WriteAll(peer, "\nok\r\n");
        shutdown(peer, SHUT_WR);
    });
    std::vector<std::string> lines;
    int got;
    while ((got = Read(&lines.emplace_back())) != -1) {
        if (got == 0) {
            lines.pop_back();
            IRC_Wait(fServ.get(), -1, 2000);
        }
    }
    lines.pop_back();
    writer.join();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(IRC_LINE_MAX + 2, 'z'));
    EXPECT_EQ(lines[1], "ok\r\n");
}

} // namespace
} // namespace irctest
