#include "SessionFixture.h"

#include <chrono>
#include <functional>

namespace {

using Lines = std::vector<std::string>;

const char* const kOpenBob = "Amsl Channel:s=bob IRC:p=S Window:p=W";

std::string Echo(const std::string& nick, const std::string& target, const std::string& said,
                 bool action = false)
{
    return "Amsh type:i=0 Nick:s=" + nick + " Channel:s=" + target + " Said:s=" + said +
           " IRC:p=S Action:b=" + (action ? "1" : "0");
}

struct Operation
{
    const char* name;
    std::function<void(IRC&)> run;
    std::string wire;
    Lines messages;
};

TEST_F(SessionTest, EveryOperationPutsItsExactLineOnTheWire)
{
    const Operation operations[] = {
        {"say to a channel",
         [](IRC& s) { s.Say("#chan", "hi", false, -1); },
         "PRIVMSG #chan :hi\r\n",
         {Echo("me", "#chan", "hi")}},
        // The private window is asked for before the echo arrives.
        {"say to a nick",
         [](IRC& s) { s.Say("bob", "hi", false, -1); },
         "PRIVMSG bob :hi\r\n",
         {kOpenBob, Echo("me", "bob", "hi")}},
        {"action",
         [](IRC& s) { s.Say("#chan", "waves", true, -1); },
         "PRIVMSG #chan :\x01"
         "ACTION waves\x01\r\n",
         {Echo("me", "#chan", "waves", true)}},
        {"bold",
         [](IRC& s) { s.Say("#chan", "loud", false, 2); },
         "PRIVMSG #chan :\x02loud\x02\r\n",
         {Echo("me", "#chan", "loud")}},
        {"inverse",
         [](IRC& s) { s.Say("#chan", "inv", false, 22); },
         "PRIVMSG #chan :\x16inv\x16\r\n",
         {Echo("me", "#chan", "inv")}},
        // A line break in the text cannot smuggle a second command onto the wire.
        {"say with a line break",
         [](IRC& s) { s.Say("#chan", "a\r\nQUIT :x", false, -1); },
         "PRIVMSG #chan :a\r\n",
         {Echo("me", "#chan", "a\r\nQUIT :x")}},
        {"join",
         [](IRC& s) { s.JoinChannel("#chan", nullptr, false); },
         "JOIN #chan\r\n",
         {"Amsl Channel:s=#chan IRC:p=S Window:p=W"}},
        {"join with key",
         [](IRC& s) { s.JoinChannel("#locked", "k3y", false); },
         "JOIN #locked k3y\r\n",
         {"Amsl Channel:s=#locked IRC:p=S Window:p=W"}},
        {"open only", [](IRC& s) { s.JoinChannel("bob", nullptr, true); }, "", {kOpenBob}},
        {"part sends no reason",
         [](IRC& s) { s.PartChannel("#chan", "bye all"); },
         "PART #chan\r\n",
         {}},
        {"nick", [](IRC& s) { s.ChangeNick("newme"); }, "NICK newme\r\n", {"Amsm"}},
        {"echo uses the new nick",
         [](IRC& s) { s.Say("#chan", "x", false, -1); },
         "PRIVMSG #chan :x\r\n",
         {Echo("newme", "#chan", "x")}},
        {"raw", [](IRC& s) { EXPECT_EQ(s.RawCommand("WHOIS bob"), 11); }, "WHOIS bob\r\n", {}},
        {"ctcp",
         [](IRC& s) { s.SendCtcp("VERSION", "bob"); },
         "PRIVMSG bob :\x01VERSION\x01\r\n",
         {}},
        {"notice", [](IRC& s) { s.Notice("bob", "hey there"); }, "NOTICE bob :hey there\r\n", {}},
    };
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        op.run(*fSession);
        EXPECT_EQ(Wire(), op.wire);
        EXPECT_EQ(Messages(), op.messages);
    }
    EXPECT_STREQ(fSession->Nick(), "newme");
}

TEST_F(SessionTest, DisconnectSendsQuitAndCloses)
{
    EXPECT_EQ(fSession->Disconnect("Velmor v0.31 -- bye"), 0);
    EXPECT_TRUE(fServer.WaitForClose());
    EXPECT_EQ(fServer.Received(), "QUIT :Velmor v0.31 -- bye\r\n");
    // Commands after the end reach nothing and fail cleanly.
    EXPECT_LT(fSession->RawCommand("PING x"), 0);
    fSession->Say("#chan", "late", false, -1);
}

TEST_F(SessionTest, LongNicknamesAreCut)
{
    std::string nick(300, 'n');
    fSession->ChangeNick(nick.c_str());
    EXPECT_EQ(std::string(fSession->Nick()), std::string(255, 'n'));
    EXPECT_EQ(Wire(), "NICK " + std::string(255, 'n') + "\r\n");
}

// What went out, as lines without their CR LF.
Lines SplitWire(const std::string& wire)
{
    Lines lines;
    for (size_t at = 0; at < wire.size();) {
        size_t end = wire.find("\r\n", at);
        lines.push_back(wire.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

TEST_F(SessionTest, LongTextsGoOutInSeveralWholeLinesAndShowOnce)
{
    std::string words;
    while (words.size() < 1200)
        words += "word" + std::to_string(words.size()) + " ";
    std::string characters;
    while (characters.size() < 1000)
        characters += "\xE2\x82\xAC"; // one word, three bytes a character
    const struct
    {
        const char* name;
        std::string text;
        bool action;
        std::string joint; // what each cut took out of the text
    } cases[] = {
        {"words are cut at spaces", words, false, " "},
        {"an action wraps every piece", words, true, " "},
        {"a long word is cut between characters", characters, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fSession->Say("#chan", c.text.c_str(), c.action, -1);
        const std::string head = "PRIVMSG #chan :";
        const std::string before = c.action ? "\x01"
                                              "ACTION "
                                            : "";
        const std::string after = c.action ? "\x01" : "";
        Lines lines = SplitWire(Wire());
        ASSERT_GE(lines.size(), 2u);
        std::string joined;
        for (const std::string& line : lines) {
            // Room for the prefix the server adds when it passes the line on.
            EXPECT_LE(line.size() + strlen(":me!") + 12 + 1 + 63 + 1, 510u);
            ASSERT_EQ(line.substr(0, head.size() + before.size()), head + before);
            ASSERT_TRUE(line.ends_with(after));
            joined += (joined.empty() ? "" : c.joint) +
                      line.substr(head.size() + before.size(),
                                  line.size() - head.size() - before.size() - after.size());
        }
        EXPECT_EQ(joined, c.text);
        // The window shows the text once, whole.
        EXPECT_EQ(Messages(), Lines{Echo("me", "#chan", c.text, c.action)});
    }
}

} // namespace

// A full name with blanks still registers: the USER line's user name is one parameter.
TEST(SessionRegistration, UserNameOfTheUserLineHasNoBlanks)
{
    IRC_SetDiagnosticSink(nullptr);
    const struct
    {
        const char* realName;
        const char* expected;
    } cases[] = {
        {"Real Me", "USER RealMe host server :Real Me\r\n"},
        {" :x y", "USER xy host server : :x y\r\n"},
        {"   ", "USER nick host server :   \r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.realName);
        testsupport::FakeServer server;
        IRC session("nick", "nick", c.realName, "127.0.0.1", server.Port(), new BMessage('Airc'),
                    nullptr, nullptr);
        ASSERT_EQ(session.Connect(), 0);
        ASSERT_TRUE(server.Accept());
        ASSERT_TRUE(server.WaitFor("\r\n", 2));
        EXPECT_EQ(server.Received(), std::string("NICK nick\r\n") + c.expected);
        session.KillThreads();
    }
}
