// Lines typed into a conversation window's entry field, and the exact bytes the server gets.

#include "DisplayFixture.h"

#include <IRC.h>
#include <IrcDisplayWindow.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace displaytest {
namespace {

struct Typed
{
    std::string line;
    std::string wire; // what the server receives, CR LF included
    bool beeps = false;
};

class EntryCommandWireTest : public DisplayFixture
{
protected:
    void Expect(IrcDisplayWindow* window, const std::vector<Typed>& table)
    {
        ASSERT_NE(window, nullptr);
        Wire();
        for (const Typed& row : table) {
            SCOPED_TRACE(row.line);
            const int32 beeps = fDisplay->Beeps();
            Enter(window, row.line.c_str());
            EXPECT_EQ(Wire(), row.wire);
            EXPECT_EQ(fDisplay->Beeps() - beeps, row.beeps ? 1 : 0);
        }
    }
};

TEST_F(EntryCommandWireTest, EveryCommandInAChannelWindow)
{
    Expect(Join("#x"), {
                           {"hello there", "PRIVMSG #x :hello there\r\n"},
                           {"//me waves", "PRIVMSG #x :/me waves\r\n"},
                           {"/query #chan", ""},
                           {"/q carol", ""},
                           {"/ctcp bob VERSION", "PRIVMSG bob :\001VERSION\001\r\n"},
                           {"/ctcp bob PING 123", "PRIVMSG bob :\001PING 123\001\r\n"},
                           {"/ctcp bob", "", true},
                           {"/ctcp bob ", "", true},
                           {"/list", "LIST\r\n"},
                           {"/list #x ignored", "LIST\r\n"},
                           {"/kill", ""},
                           {"/kill bob flooding", "KILL bob flooding\r\n"},
                           {"/away", "AWAY\r\n"},
                           {"/away lunch", "AWAY lunch\r\n"},
                           {"/raw WHO #x", "WHO #x\r\n"},
                           {"/quote PRIVMSG bob :raw  text", "PRIVMSG bob :raw  text\r\n"},
                           {"/JOIN foo", "JOIN #foo\r\n"},
                           {"/j #foo key", "JOIN #foo key\r\n"},
                           {"/join #foo ", "JOIN #foo\r\n"},
                           {"/join", "JOIN #\r\n"},
                           {"/op bob", "MODE #x +o bob\r\n"},
                           {"/voice bob", "MODE #x +v bob\r\n"},
                           {"/v bob", "MODE #x +v bob\r\n"},
                           {"/deop bob", "MODE #x -o bob\r\n"},
                           {"/msg bob hi there", "PRIVMSG bob :hi there\r\n"},
                           {"/MSG Bob Hi", "PRIVMSG Bob :Hi\r\n"},
                           {"/msg bob", "", true},
                           {"/msg bob ", "", true},
                           {"/msg", "", true},
                           {"/notice bob hi", "NOTICE bob :hi\r\n"},
                           {"/notice bob", "", true},
                           {"/topic", "", true},
                           {"/topic  spaced", "TOPIC #x : spaced\r\n"},
                           {"/title new topic", "TOPIC #x :new topic\r\n"},
                           {"/clear", ""},
                           {"/mode", "", true},
                           {"/mode +i", "MODE #x +i\r\n"},
                           {"/mode #y +m", "MODE #y +m\r\n"},
                           {"/me", "", true},
                           {"/me waves", "PRIVMSG #x :\001ACTION waves\001\r\n"},
                           {"/ignore troll", ""},
                           {"/whois bob", "WHOIS bob\r\n"},
                           {"/whois bob bob", "WHOIS bob bob\r\n"},
                           {"/whois bob irc.other", "WHOIS bob irc.other\r\n"},
                           {"/kick bob", "KICK #x bob :me\r\n"},
                           {"/kick bob go away", "KICK #x bob :go away\r\n"},
                           {"/ban bob", "MODE #x +b bob!*@*\r\n"},
                           {"/ban *!*@host.example", "MODE #x +b *!*@host.example\r\n"},
                           {"/ban bob@host", "MODE #x +b bob@host\r\n"},
                           {"/ban", "", true},
                           {"/ban ", "", true},
                           {"/quit bye", ""}, // no application in this process: nothing at all
                           {"/nick", "", true},
                           {"/nick newme", "NICK newme\r\n"},
                           {"/kick bob", "KICK #x bob :newme\r\n"},
                           {"/bogus arg", "", true},
                           {"/", "", true},
                           {"/a", "", true},
                           {"/ame", "", true},
                           {"/allme", "", true},
                       });
}

// The commands whose channel or target is the window's own name, in each kind of window.
TEST_F(EntryCommandWireTest, TheWindowsNameIsTheTargetInEveryKindOfWindow)
{
    struct Kind
    {
        IrcDisplayWindow* window;
        std::string name;
        bool sendsText;
    };
    const std::vector<Kind> kinds = {
        {Join("#x"), "#x", true},
        {OpenPrivate("bob"), "bob", true},
        {ServerWindow(), "127.0.0.1", false},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const std::string n = kind.name;
        Expect(kind.window,
               {
                   {"plain text", kind.sendsText ? "PRIVMSG " + n + " :plain text\r\n" : ""},
                   {"//slash", "PRIVMSG " + n + " :/slash\r\n"},
                   {"/me nods", "PRIVMSG " + n + " :\001ACTION nods\001\r\n"},
                   {"/op al", "MODE " + n + " +o al\r\n"},
                   {"/topic t", "TOPIC " + n + " :t\r\n"},
                   {"/mode +n", "MODE " + n + " +n\r\n"},
                   {"/kick al", "KICK " + n + " al :me\r\n"},
                   {"/ban al", "MODE " + n + " +b al!*@*\r\n"},
               });
    }
}

TEST_F(EntryCommandWireTest, AllAndAmeSayItToEveryConversationInOpeningOrder)
{
    IrcDisplayWindow* a = Join("#a");
    Join("#b");
    OpenPrivate("carol");
    const std::string all = "PRIVMSG #a :hi\r\nPRIVMSG #b :hi\r\nPRIVMSG carol :hi\r\n";
    const std::string ame = "PRIVMSG #a :\001ACTION waves\001\r\n"
                            "PRIVMSG #b :\001ACTION waves\001\r\n"
                            "PRIVMSG carol :\001ACTION waves\001\r\n";
    for (IrcDisplayWindow* window : {a, ServerWindow()}) {
        SCOPED_TRACE(window->Who());
        Expect(window, {
                           {"/all hi", all},
                           {"/a hi", all},
                           {"/ame waves", ame},
                           {"/allme waves", ame},
                           {"/all", "", true},
                       });
    }
}

// Input longer than the parts of a line can hold is cut where a character begins.
TEST_F(EntryCommandWireTest, OverlongInputIsCutOnACharacterBoundary)
{
    const std::string e = "\xc3\xa9"; // two bytes
    auto repeat = [](const std::string& text, size_t count) {
        std::string out;
        for (size_t i = 0; i < count; i++)
            out += text;
        return out;
    };
    Expect(
        Join("#x"),
        {
            // CTCP target and text, and the join key: 255 bytes each.
            {"/ctcp bob " + repeat("v", 300), "PRIVMSG bob :\001" + repeat("v", 255) + "\001\r\n"},
            {"/ctcp bob " + repeat(e, 200), "PRIVMSG bob :\001" + repeat(e, 127) + "\001\r\n"},
            {"/ctcp " + repeat(e, 200) + " PING",
             "PRIVMSG " + repeat(e, 127) + " :\001PING\001\r\n"},
            {"/join #c " + repeat("k", 300), "JOIN #c " + repeat("k", 255) + "\r\n"},
            {"/join #c " + repeat(e, 200), "JOIN #c " + repeat(e, 127) + "\r\n"},
            // The arguments: 1023 bytes. A text goes out in pieces that leave room for the
            // sender prefix; any other line is cut to the protocol's 510 bytes.
            {"/me " + repeat("a", 1500), "PRIVMSG #x :\001ACTION " + repeat("a", 408) + "\001\r\n" +
                                             "PRIVMSG #x :\001ACTION " + repeat("a", 408) +
                                             "\001\r\n" + "PRIVMSG #x :\001ACTION " +
                                             repeat("a", 207) + "\001\r\n"},
            {"/kick bob " + repeat(e, 700), "KICK #x bob :" + repeat(e, 248) + "\r\n"},
            {"/join " + repeat("c", 1100), "JOIN #" + repeat("c", 504) + "\r\n"},
            // The command word: 255 bytes, which no command is.
            {"/" + repeat("m", 300) + " x", "", true},
        });
}

} // namespace
} // namespace displaytest
