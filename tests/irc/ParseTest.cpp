// Splitting and classifying lines, with no socket: IRC_ParseLine over bytes.

#include "irc.h"
#include "irc_parse.h"
#include "irc_split.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

struct Case
{
    const char* description;
    std::string line;
    int32_t type;
    std::string sender;
    std::string param;
    std::string rest;
    uint32_t replies = 0;
};

void Check(const Case& c)
{
    SCOPED_TRACE(c.description);
    irc_parsed_t p = IRC_ParseLine(c.line);
    EXPECT_EQ(p.type, c.type);
    EXPECT_EQ(p.sender, c.sender);
    EXPECT_EQ(p.param, c.param);
    EXPECT_EQ(p.rest, c.rest);
    EXPECT_EQ(p.replies, c.replies);
}

// The bytes dropped anywhere in the text, first, last, side by side, or not at all.
TEST(SplitTest, WithoutDropsExactlyTheGivenBytes)
{
    std::mt19937 random(7);
    const std::string alphabet = "ab:\r\n @*=\x01";
    const std::vector<std::string> drops = {"\r\n", ":", " =*@", " :", "\x01", ""};
    for (int round = 0; round < 20000; round++) {
        std::string text;
        for (size_t n = random() % 12; n > 0; n--)
            text += alphabet[random() % alphabet.size()];
        const std::string& drop = drops[random() % drops.size()];
        std::string expected;
        for (char c : text) {
            if (drop.find(c) == std::string::npos)
                expected += c;
        }
        ASSERT_EQ(irc_without(text, drop), expected)
            << "text \"" << text << "\" drop \"" << drop << "\"";
    }
    EXPECT_EQ(irc_without(std::string_view(), "\r\n"), "");
}

TEST(ClassifyTest, EveryRowOfTheTable)
{
    const std::vector<Case> cases = {
        {"server ping without prefix", "PING :srv1", IRC_EV_RAW, "srv1", "", "", IRC_REPLY_PONG},
        {"ping with a prefix answers the prefix", ":srv PING :tok", IRC_EV_RAW, "srv", ":tok", "",
         IRC_REPLY_PONG},
        {"channel message", ":nick!user@host PRIVMSG #chan :hello there", IRC_EV_PRIVMSG, "nick",
         "#chan", "hello there"},
        {"quit", ":bob!b@h QUIT :Quit: gone", IRC_EV_QUIT, "bob", "", "Quit: gone"},
        {"kick", ":op!o@h KICK #chan bob :flooding", IRC_EV_KICK, "op", "#chan", "bob :flooding"},
        {"join", ":nick!user@host JOIN :#chan", IRC_EV_JOIN, "nick", "user@host", "#chan"},
        {"join from a bare prefix", ":srv JOIN #chan", IRC_EV_JOIN, "srv", "", "#chan"},
        {"part with reason", ":bob!b@h PART #chan :bye now", IRC_EV_PART, "bob", "",
         "#chan :bye now"},
        {"whois user", ":srv 311 me bob buser bhost * :Bob Real", IRC_EV_WHOIS_USER, "bob", "me",
         "bob buser bhost * :Bob Real"},
        {"whois server", ":srv 312 me bob irc.x :Server desc", IRC_EV_WHOIS_SERVER, "bob", "me",
         "bob irc.x :Server desc"},
        {"whois channels", ":srv 319 me bob :@#a +#b", IRC_EV_WHOIS_CHANNELS, "bob", "me",
         "@#a +#b"},
        {"end of whois", ":srv 318 me bob :End of WHOIS list", IRC_EV_WHOIS_END, "bob", "me",
         "bob :End of WHOIS list"},
        {"topic on join", ":srv 332 me #chan :the topic", IRC_EV_TOPIC_REPLY, "#chan", "me",
         "the topic"},
        {"topic setter", ":srv 333 me #chan alice 1700000000", IRC_EV_TOPIC_SETTER, "#chan", "me",
         "alice 1700000000"},
        {"names, public", ":srv 353 me = #chan :@op +voice plain", IRC_EV_NAMES, "#chan", "me",
         "@op +voice plain"},
        {"names, private", ":srv 353 me * #chan :@op +voice plain", IRC_EV_NAMES, "#chan", "me",
         "@op +voice plain"},
        {"names, secret", ":srv 353 me @ #chan :@op +voice plain", IRC_EV_NAMES, "#chan", "me",
         "@op +voice plain"},
        {"end of names", ":srv 366 me #chan :End of NAMES list.", IRC_EV_END_NAMES, "#chan", "me",
         ""},
        {"topic change", ":bob!b@h TOPIC #chan :new topic", IRC_EV_TOPIC, "bob", "#chan",
         "new topic"},
        {"mode", ":op!o@h MODE #chan +o bob", IRC_EV_MODE, "op", "#chan", "+o bob"},
        {"mode, last argument trailing", ":op!o@h MODE #chan +ov bob :bob", IRC_EV_MODE, "op",
         "#chan", "+ov bob bob"},
        {"mode, a trailing key keeps its own colons", ":op!o@h MODE #chan +k :a:b", IRC_EV_MODE,
         "op", "#chan", "+k a:b"},
        {"mode, letters alone trailing", ":me!u@h MODE me :+i", IRC_EV_MODE, "me", "me", "+i"},
        {"nick", ":old!u@h NICK :new", IRC_EV_NICK, "old", "", "new"},
        {"notice", ":srv NOTICE me :hello", IRC_EV_NOTICE, "srv", "me", "hello"},
        {"welcome is raw", ":srv 001 me :Welcome", IRC_EV_RAW, "srv", "me", "Welcome"},
        {"lower case is not recognised", ":n!u@h privmsg #chan :hi", IRC_EV_RAW, "n", "#chan",
         "hi"},
        {"mixed case is not recognised", ":n!u@h Join :#chan", IRC_EV_RAW, "n", ":#chan", ""},
        {"a line without prefix shifts every word", "NOTICE AUTH :*** Looking up", IRC_EV_RAW,
         "NOTICE", ":***", "Looking up"},
        {"error line", "ERROR :Closing link", IRC_EV_RAW, "ERROR", "link", ""},
        {"pong is raw", ":srv PONG srv :tok", IRC_EV_RAW, "srv", "srv", "tok"},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(ClassifyTest, EveryErrorNumeric)
{
    for (const char* numeric : {"401", "482", "467", "471", "472", "473", "474", "475", "481",
                                "483", "491", "501", "502"}) {
        std::string line = std::string(":srv ") + numeric + " me bob :No such nick";
        Check({numeric, line, IRC_EV_ERROR, "bob", "me", "No such nick"});
    }
    // Neighbours of the list are raw lines.
    for (const char* numeric : {"400", "402", "470", "476", "503"})
        Check({numeric, std::string(":srv ") + numeric + " me bob :x", IRC_EV_RAW, "srv", "me",
               "bob :x"});
}

TEST(ClassifyTest, CtcpRequests)
{
    const std::string v = "\x01VERSION\x01";
    const std::vector<Case> cases = {
        {"version", ":nick!u@h PRIVMSG me :" + v, IRC_EV_RAW, "nick", "me", v, IRC_REPLY_VERSION},
        {"ping", ":nick!u@h PRIVMSG me :\x01PING 12345\x01", IRC_EV_RAW, "nick", "me",
         "\x01PING 12345\x01", IRC_REPLY_PING},
        {"finger",
         ":nick!u@h PRIVMSG me :\x01"
         "FINGER\x01",
         IRC_EV_RAW, "nick", "me",
         "\x01"
         "FINGER\x01",
         IRC_REPLY_FINGER},
        {"cdcc",
         ":nick!u@h PRIVMSG me :\x01"
         "CDCC LIST\x01",
         IRC_EV_RAW, "nick", "me",
         "\x01"
         "CDCC LIST\x01",
         IRC_REPLY_CDCC},
        {"all four at once", ":nick!u@h PRIVMSG me :\x01VERSION PING FINGER CDCC\x01", IRC_EV_RAW,
         "nick", "me", "\x01VERSION PING FINGER CDCC\x01",
         IRC_REPLY_VERSION | IRC_REPLY_PING | IRC_REPLY_FINGER | IRC_REPLY_CDCC},
        {"action",
         ":nick!u@h PRIVMSG me :\x01"
         "ACTION waves\x01",
         IRC_EV_ACTION, "nick", "me", "waves"},
        {"action in a channel",
         ":nick!u@h PRIVMSG #c :\x01"
         "ACTION waves at\x01 all\x01",
         IRC_EV_ACTION, "nick", "#c", "waves at all"},
        {"action naming request words is also answered",
         ":nick!u@h PRIVMSG me :\x01"
         "ACTION asks PING and VERSION\x01",
         IRC_EV_ACTION, "nick", "me", "asks PING and VERSION", IRC_REPLY_VERSION | IRC_REPLY_PING},
        {"bare action",
         ":nick!u@h PRIVMSG me :\x01"
         "ACTION\x01",
         IRC_EV_ACTION, "nick", "me", ""},
        {"action cut short",
         ":nick!u@h PRIVMSG me :\x01"
         "ACTION",
         IRC_EV_ACTION, "nick", "me", ""},
        {"action text starts on a character boundary",
         ":nick!u@h PRIVMSG me :\x01"
         "ACTION\xc3\xa9t\xc3\xa9\x01",
         IRC_EV_ACTION, "nick", "me", "t\xc3\xa9"},
        {"unknown request",
         ":nick!u@h PRIVMSG me :\x01"
         "CLIENTINFO\x01",
         IRC_EV_RAW, "nick", "me",
         "\x01"
         "CLIENTINFO\x01"},
        {"request words without the delimiter are text",
         ":nick!u@h PRIVMSG me :VERSION PING please", IRC_EV_PRIVMSG, "nick", "me",
         "VERSION PING please"},
        {"a notice is never answered", ":nick!u@h NOTICE me :" + v, IRC_EV_NOTICE, "nick", "me", v},
    };
    for (const Case& c : cases)
        Check(c);
    EXPECT_EQ(IRC_ParseLine(":n!u@h PRIVMSG me :\x01PING 1\x01").ctcp, "\x01PING 1\x01");
}

TEST(ClassifyTest, MalformedLines)
{
    const std::vector<Case> cases = {
        {"empty", "", IRC_EV_RAW, "", "", ""},
        {"blanks only", "    ", IRC_EV_RAW, "", "", ""},
        {"prefix only", ":onlyprefix", IRC_EV_RAW, "onlyprefix", "", ""},
        {"ping without token", "PING", IRC_EV_RAW, "", "", "", IRC_REPLY_PONG},
        {"whois user without parameters", ":srv 311", IRC_EV_WHOIS_USER, "", "", ""},
        {"names without colon", ":srv 353 me = #chan", IRC_EV_NAMES, "#chan", "me", ""},
        {"names without anything", ":srv 353 me", IRC_EV_NAMES, "", "me", ""},
        {"error without colon", ":srv 401 me bob", IRC_EV_ERROR, "bob", "me", ""},
        {"topic without colon", ":srv 332 me #chan notopic", IRC_EV_TOPIC_REPLY, "#chan", "me", ""},
        {"topic setter without setter", ":srv 333 me #chan", IRC_EV_TOPIC_SETTER, "#chan", "me",
         ""},
        {"join without channel", ":n!u@h JOIN", IRC_EV_JOIN, "n", "u@h", ""},
        {"runs of blanks separate words; the text keeps what follows one", ":a   PRIVMSG   #c  :hi",
         IRC_EV_PRIVMSG, "a", "#c", " :hi"},
        {"only one colon is dropped", ":a PRIVMSG #c ::hi", IRC_EV_PRIVMSG, "a", "#c", ":hi"},
        {"CR LF at the end", ":a NICK :b\r\n", IRC_EV_NICK, "a", "", "b"},
        {"CR inside", ":a PRIVMSG #c :x\ry", IRC_EV_PRIVMSG, "a", "#c", "xy"},
        {"colons in the prefix", "::a:b!u@h PRIVMSG #c :t", IRC_EV_PRIVMSG, "ab", "#c", "t"},
    };
    for (const Case& c : cases)
        Check(c);
    std::string withNul(":a PRIVMSG #c :ab\0 QUIT :x", 26);
    Check({"a NUL ends the line", withNul, IRC_EV_PRIVMSG, "a", "#c", "ab"});
}

bool ValidUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        unsigned char c = text[i];
        size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

TEST(ClassifyTest, OverLongPartsAreCutOnCharacterBoundaries)
{
    std::string e2000;
    for (int i = 0; i < 1000; ++i)
        e2000 += "\xc3\xa9";
    irc_parsed_t longPrefix = IRC_ParseLine(":" + e2000 + " PRIVMSG " + e2000 + " :x");
    EXPECT_LE(longPrefix.sender.size(), IRC_WORD_MAX);
    EXPECT_GE(longPrefix.sender.size(), IRC_WORD_MAX - 3);
    EXPECT_TRUE(ValidUtf8(longPrefix.sender));
    EXPECT_LE(longPrefix.param.size(), IRC_WORD_MAX);
    EXPECT_TRUE(ValidUtf8(longPrefix.param));
    EXPECT_EQ(longPrefix.type, IRC_EV_PRIVMSG);

    irc_parsed_t longCommand = IRC_ParseLine(":a " + std::string(100, 'C') + " x :y");
    EXPECT_EQ(longCommand.command, std::string(IRC_COMMAND_MAX, 'C'));
    EXPECT_EQ(longCommand.type, IRC_EV_RAW);

    irc_parsed_t longLine = IRC_ParseLine(":a PRIVMSG #c :" + e2000 + e2000 + e2000);
    EXPECT_LE(longLine.line.size(), IRC_LINE_MAX);
    EXPECT_LE(longLine.rest.size(), IRC_LINE_MAX);
    EXPECT_TRUE(ValidUtf8(longLine.rest));
    EXPECT_EQ(longLine.rest.substr(0, 4), "\xc3\xa9\xc3\xa9");
}

// Runs a check with TZ set, then puts the old zone back.
class IdleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* old = getenv("TZ");
        fHadZone = old != nullptr;
        fOldZone = old != nullptr ? old : "";
    }
    void TearDown() override
    {
        if (fHadZone)
            setenv("TZ", fOldZone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    static std::string IdleIn(const char* zone, const std::string& line)
    {
        setenv("TZ", zone, 1);
        tzset();
        return IRC_ParseLine(line).rest;
    }

private:
    bool fHadZone = false;
    std::string fOldZone;
};

TEST_F(IdleTest, ReformattedInLocalTime)
{
    // 1700000000 is 2023-11-14 22:13:20 UTC.
    const std::string line = ":srv 317 me bob 42 1700000000 :seconds idle, signon time";
    EXPECT_EQ(IdleIn("UTC0", line),
              "has been idle 42 seconds; signed on at 22:13:20 on 11/14/2023");
    EXPECT_EQ(IdleIn("EST5", line),
              "has been idle 42 seconds; signed on at 17:13:20 on 11/14/2023");
    EXPECT_EQ(IdleIn("ABC-3", line),
              "has been idle 42 seconds; signed on at 01:13:20 on 11/15/2023");
    irc_parsed_t p = IRC_ParseLine(line);
    EXPECT_EQ(p.type, IRC_EV_WHOIS_IDLE);
    EXPECT_EQ(p.sender, "bob");
    EXPECT_EQ(p.param, "bob");
}

TEST_F(IdleTest, MissingAndHugeNumbers)
{
    EXPECT_EQ(IdleIn("UTC0", ":srv 317 me bob"),
              "has been idle 0 seconds; signed on at 00:00:00 on 01/01/1970");
    EXPECT_EQ(IdleIn("UTC0", ":srv 317 me bob 7 :no sign-on"),
              "has been idle 7 seconds; signed on at 00:00:00 on 01/01/1970");
    std::string huge = IdleIn("UTC0", ":srv 317 me bob 99999999999999999999999 "
                                      "99999999999999999999999 :x");
    EXPECT_EQ(huge.rfind("has been idle 2147483647 seconds; signed on at ", 0), 0u) << huge;
}

} // namespace
