// Server bytes no well-behaved server sends, as the user meets them: a 10 MB line without a
// line end, and NUL bytes and broken UTF-8 in every field of every kind of line. Memory
// stays bounded, the reader keeps up, every window shows valid UTF-8, nothing crashes.

#include "FaultFixture.h"

#include <FakeServer.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using apptest::FaultTest;
using apptest::IsValidUtf8;
using kittest::WaitUntil;
using testsupport::FakeServer;

// Resident memory of this process, in bytes.
size_t ResidentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoul(line.substr(6)) * 1024;
    }
    return 0;
}

TEST(FaultUtf8Check, TellsValidFromBroken)
{
    EXPECT_TRUE(IsValidUtf8("plain, \xc3\xa9t\xc3\xa9, \xe2\x82\xac, \xf0\x9f\x98\x80"));
    for (const char* broken :
         {"\xff", "a\xc3", "\xe2\x82", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\x80"})
        EXPECT_FALSE(IsValidUtf8(broken)) << broken;
}

TEST_F(FaultTest, TenMegabyteLineWithoutALineEndIsCutAndReadingGoesOn)
{
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    auto channel = Join(server, list, "#faults");
    ASSERT_NE(channel, nullptr);
    ASSERT_TRUE(Feed(server, ":bob!b@h PRIVMSG #faults :before the long line\r\n"));

    const size_t before = ResidentBytes();
    ASSERT_TRUE(server.Send(":bob!b@h PRIVMSG #faults :"));
    // The client reads it all while it comes: the sends would stall otherwise.
    const std::string block(64 * 1024, 'y');
    for (size_t sent = 0; sent < 10 * 1024 * 1024; sent += block.size())
        ASSERT_TRUE(server.Send(block));
    // Still no line end: the client is waiting for more of the same line.
    EXPECT_TRUE(fDisplay.Sync(channel->Window()));
    EXPECT_TRUE(Feed(server, "\r\n:bob!b@h PRIVMSG #faults :after the long line\r\n"));
    const size_t after = ResidentBytes();

    const std::vector<std::string> lines = Lines(Text(channel));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(lines[lines.size() - 3].find("before the long line"), std::string::npos);
    // The long line is shown as its first part only.
    const std::string& cut = lines[lines.size() - 2];
    EXPECT_NE(cut.find("yyyyyyyy"), std::string::npos);
    EXPECT_LT(cut.size(), 16384u);
    EXPECT_NE(lines.back().find("after the long line"), std::string::npos) << lines.back();
    // Nothing kept the line whole, in the reader, the window or the display.
    EXPECT_LT(after, before + 4 * 1024 * 1024) << "grew from " << before << " to " << after;
    EXPECT_TRUE(CloseAndWait(list->Server()));
    EXPECT_TRUE(QuitAndWait());
}

void ExpectMenuValid(const kit_private::MenuNode& menu)
{
    EXPECT_TRUE(IsValidUtf8(menu.label)) << "menu item: " << menu.label;
    for (const kit_private::MenuNode& item : menu.items)
        ExpectMenuValid(item);
}

// Every view of every window, as the display would show it, is valid UTF-8.
void ExpectAllShownTextValid(const kit_private::HeadlessDisplay& display)
{
    for (const kit_private::ShownWindow& window : display.Windows()) {
        EXPECT_TRUE(IsValidUtf8(window.title)) << window.title;
        for (const auto& [token, view] : window.views) {
            EXPECT_TRUE(IsValidUtf8(view.text.str())) << view.name << ": " << view.text;
            EXPECT_TRUE(IsValidUtf8(view.label)) << view.name << ": " << view.label;
            for (const kit_private::ListRow& row : view.rows)
                EXPECT_TRUE(IsValidUtf8(row.text)) << view.name << ": " << row.text;
            for (const std::string& label : view.tabs.labels)
                EXPECT_TRUE(IsValidUtf8(label)) << view.name << ": " << label;
            ExpectMenuValid(view.menu);
        }
    }
}

// Lines as the client sent them: none holds a NUL, and CR comes only before LF.
void ExpectWireClean(const std::string& wire)
{
    for (size_t i = 0; i < wire.size(); i++) {
        EXPECT_NE(wire[i], '\0') << "NUL at " << i;
        if (wire[i] == '\r') {
            EXPECT_TRUE(i + 1 < wire.size() && wire[i + 1] == '\n') << "bare CR at " << i;
        }
        if (wire[i] == '\n') {
            EXPECT_TRUE(i > 0 && wire[i - 1] == '\r') << "bare LF at " << i;
        }
    }
}

TEST_F(FaultTest, NulBytesAndBrokenUtf8InEveryFieldShowAsValidText)
{
    using namespace std::string_literals;
    FakeServer server;
    auto list = Connect(server);
    ASSERT_NE(list, nullptr);
    auto channel = Join(server, list, "#faults");
    ASSERT_NE(channel, nullptr);
    server.ClearReceived();

    // Nick, user, host, channel, topic, text and CTCP fields, each with a stray continuation
    // byte, a cut sequence, an overlong form, an encoded surrogate and a byte that is never
    // UTF-8.
    const std::string bad = "x\x80y\xc3\xe2\x82-\xc0\xaf\xed\xa0\x80\xff";
    const std::string who = "ni" + bad + "!us" + bad + "@ho" + bad;
    std::vector<std::string> lines = {
        ":srv" + bad + " 001 velmor :Welcome " + bad,
        ":srv 332 velmor #faults :topic " + bad,
        ":srv 353 velmor = #faults :@velmor +op" + bad + " plain" + bad,
        ":srv 366 velmor #faults :End of NAMES list",
        ":" + who + " JOIN :#faults",
        ":" + who + " PRIVMSG #faults :text " + bad,
        ":" + who +
            " PRIVMSG #faults :\x01"
            "ACTION acts " +
            bad + "\x01",
        ":" + who + " PRIVMSG velmor :private " + bad,
        ":" + who +
            " PRIVMSG velmor :\x01"
            "PING " +
            bad + "\x01",
        ":" + who +
            " PRIVMSG velmor :\x01"
            "VERSION" +
            bad + "\x01",
        ":" + who + " NOTICE velmor :notice " + bad,
        ":" + who + " TOPIC #faults :new topic " + bad,
        ":" + who + " PRIVMSG #fa" + bad + " :to a channel with a broken name",
        ":" + who + " JOIN :#fa" + bad,
        ":" + who + " MODE #faults +o ni" + bad,
        ":" + who + " NICK :re" + bad,
        ":re" + bad + "!u@h PART #faults :gone " + bad,
        ":srv 311 velmor ni" + bad + " us" + bad + " ho" + bad + " * :real " + bad,
        ":srv 318 velmor ni" + bad + " :End of WHOIS list",
        ":someone!u@h KICK #faults op" + bad + " :because " + bad,
        ":plain" + bad + "!u@h QUIT :quit " + bad,
        "\xff\xfe\xfd",
    };
    // The same with a NUL in each field: the line ends there.
    for (const std::string& line :
         {":n\x00ick!u@h PRIVMSG #faults :hidden"s, ":nick!u\x00ser@h PRIVMSG #faults :hidden"s,
          ":nick!u@h\x00ost PRIVMSG #faults :hidden"s, ":nick!u@h PRIVMSG #fa\x00ults :hidden"s,
          ":nick!u@h PRIVMSG #faults :te\x00xt"s, ":srv 332 velmor #faults :to\x00pic"s,
          ":nick!u@h PRIVMSG velmor :\x01PI\x00NG 1\x01"s, "\x00\x00\x00"s})
        lines.push_back(line);
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    ASSERT_TRUE(Feed(server, bytes));
    ASSERT_TRUE(Feed(server, ":bob!b@h PRIVMSG #faults :still reading\r\n"));

    EXPECT_NE(Text(channel).find("still reading"), std::string::npos) << Text(channel);
    EXPECT_NE(Text(channel).find("text x"), std::string::npos) << Text(channel);
    EXPECT_NE(Text(channel).find("acts x"), std::string::npos) << Text(channel);
    EXPECT_NE(Text(channel).find("<nick> te\n"), std::string::npos) << Text(channel);
    EXPECT_EQ(Text(channel).find("hidden"), std::string::npos) << Text(channel);
    // The private message opened its window.
    EXPECT_GE(list->CountItems(), 2);
    ExpectAllShownTextValid(fDisplay);
    EXPECT_TRUE(IsValidUtf8(Text(list->Server())));
    // Answers to the broken CTCP requests carry no NUL or stray line end.
    server.Collect(50);
    ExpectWireClean(server.Received());

    // The window still takes what the user types.
    Enter(channel, "typed after it all");
    EXPECT_TRUE(server.WaitFor("PRIVMSG #faults :typed after it all\r\n"));
    EXPECT_TRUE(CloseAndWait(list->Server()));
    EXPECT_TRUE(QuitAndWait());
}

} // namespace
