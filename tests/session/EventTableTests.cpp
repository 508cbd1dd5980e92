#include "EventTable.h"
#include "MessageText.h"
#include "SessionMessages.h"

#include <irc_parse.h>

#include <gtest/gtest.h>

#include <string>

namespace {

int gSession;
int gWindow;
const EventContext kContext{&gSession, &gWindow};

// What the session sends for one server line: each message on its own, joined by " | ",
// and " +MODE" when it asks for the invisible mode afterwards.
std::string Outcome(const std::string& line)
{
    irc_parsed_t parsed = IRC_ParseLine(line);
    irc_event_t event;
    event.type = parsed.type;
    event.sender = parsed.sender.data();
    event.param = parsed.param.data();
    event.rest = parsed.rest.data();
    EventMessages out = BuildEventMessages(event, kContext);
    std::string text;
    if (out.openWindow)
        text += MessageText(*out.openWindow, &gSession, &gWindow) + " | ";
    if (out.message)
        text += MessageText(*out.message, &gSession, &gWindow);
    if (out.setInvisible)
        text += " +MODE";
    return text.empty() ? "-" : text;
}

struct Case
{
    const char* line;
    const char* outcome;
};

const Case kCases[] = {
    {":bob!b@h PRIVMSG #chan :hi there",
     "Amsh type:i=0 Nick:s=bob IRC:p=S Channel:s=#chan Said:s=hi there"},
    {":bob!b@h PRIVMSG me :psst", "Amsl Channel:s=bob IRC:p=S Window:p=W | "
                                  "Amsh type:i=0 Nick:s=bob IRC:p=S Channel:s=bob Said:s=psst"},
    {":bob!b@h PRIVMSG #chan :\x01"
     "ACTION waves\x01",
     "Amsh type:i=0 Nick:s=bob Channel:s=#chan IRC:p=S Said:s=waves Action:b=1"},
    // A private action opens the sender's window and is shown there.
    {":bob!b@h PRIVMSG me :\x01"
     "ACTION waves\x01",
     "Amsl Channel:s=bob IRC:p=S Window:p=W | "
     "Amsh type:i=0 Nick:s=bob Channel:s=bob IRC:p=S Said:s=waves Action:b=1"},
    {":bob!b@h QUIT :gone fishing",
     "Amsh type:i=1 Nick:s=bob IRC:p=S Channel:s=Channels Reason:s=gone fishing"},
    {":bob!b@h PART #chan", "Amsh type:i=2 IRC:p=S Nick:s=bob Channel:s=#chan Reason:s="},
    // A part reason does not end up in the channel name.
    {":bob!b@h PART #chan :bye now",
     "Amsh type:i=2 IRC:p=S Nick:s=bob Channel:s=#chan Reason:s=bye now"},
    {":bob!b@h PART chan", "Amsh type:i=2 IRC:p=S Nick:s=bob Channel:s=#chan Reason:s="},
    {":op!o@h KICK #chan bob :flood",
     "Amsh type:i=3 Data:s=bob :flood From:s=op IRC:p=S Channel:s=#chan"},
    {":bob!b@host JOIN :#chan", "Amsh type:i=4 Nick:s=bob IRC:p=S Host:s=b@host Channel:s=#chan"},
    {":srv 332 me #chan :the topic", "Amsh type:i=5 Channel:s=#chan IRC:p=S Topic:s=the topic"},
    {":srv 333 me #chan op 1700000000", "-"},
    {":srv 353 me = #chan :@op +v plain",
     "Amsh type:i=7 Channel:s=#chan List:s=@op +v plain IRC:p=S"},
    {":srv 366 me #chan :End of NAMES list.",
     "Amsh type:i=8 Nick:s=#chan IRC:p=S Channel:s=#chan Topic:s= +MODE"},
    {":bob!b@h TOPIC #chan :new topic",
     "Amsh type:i=10 Topic:s=new topic Nick:s=bob Channel:s=#chan IRC:p=S"},
    {":bob!b@h NICK :robert",
     "Amsh type:i=11 NewNick:s=robert IRC:p=S Nick:s=bob Channel:s=Channels"},
    {":op!o@h MODE #chan +o bob",
     "Amsh type:i=12 From:s=op Channel:s=#chan IRC:p=S Change:s=+o bob"},
    {":srv 319 me bob :#a @#b",
     "Amsh type:i=13 IRC:p=S Nick:s=bob Channel:s=Active Channel In Channels:s=#a @#b"},
    {":srv 311 me bob b host * :Bob B",
     "Amsh type:i=14 Channel:s=Active Channel Nick:s=bob IRC:p=S Info:s=bob b host * :Bob B"},
    {":srv 318 me bob :End of WHOIS list", "Amsj type:i=15 Nick:s=bob"},
    {":srv 312 me bob irc.test :Test server",
     "Amsh type:i=16 Channel:s=Active Channel Nick:s=bob IRC:p=S "
     "Info:s=bob irc.test :Test server"},
    {":srv 401 me nobody :No such nick",
     "Amsh type:i=17 IRC:p=S Nick:s=nobody Channel:s=Active Channel Info:s=No such nick"},
    {":srv 317 me bob 42 1700000000 :seconds idle",
     "Amsh type:i=18 Channel:s=Active Channel Nick:s=bob IRC:p=S "
     "Time:s=has been idle 42 seconds; signed on at *"},
    {":bob!b@h NOTICE me :hello",
     "Amsh type:i=19 IRC:p=S Channel:s=Active Channel Info:s=hello From:s=bob"},
    {":srv 001 me :Welcome", "Amsg type:i=20 Nick:s=me Said:s=Welcome Server:p=W"},
    {":bob!b@h PRIVMSG me :\x01VERSION\x01",
     "Amsg type:i=20 Nick:s=me Said:s=\x01VERSION\x01 Server:p=W"},
};

TEST(EventTable, EveryServerLineBecomesItsMessages)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.line);
        std::string outcome = Outcome(c.line);
        EXPECT_TRUE(MatchesText(outcome, c.outcome)) << "got: " << outcome;
    }
}

TEST(EventTable, TypesOutsideTheTableGiveNothing)
{
    for (int32 type : {-1, 21, 1000}) {
        irc_event_t event;
        event.type = type;
        EventMessages out = BuildEventMessages(event, kContext);
        EXPECT_EQ(out.openWindow, nullptr);
        EXPECT_EQ(out.message, nullptr);
        EXPECT_FALSE(out.setInvisible);
    }
}

TEST(EventTable, NullStringsBecomeEmptyFields)
{
    irc_event_t event; // all strings null, type raw
    EventMessages out = BuildEventMessages(event, kContext);
    ASSERT_NE(out.message, nullptr);
    EXPECT_EQ(MessageText(*out.message, &gSession, &gWindow),
              "Amsg type:i=20 Nick:s= Said:s= Server:p=W");
}

TEST(EventTable, ConnectionLostAndOpenWindowShapes)
{
    EXPECT_EQ(MessageText(*NewConnectionLostMessage(kContext), &gSession, &gWindow),
              "Amsg type:i=20 Nick:s= Said:s=*** Connection to server lost. Server:p=W");
    EXPECT_EQ(MessageText(*NewOpenWindowMessage("#x", kContext), &gSession, &gWindow),
              "Amsl Channel:s=#x IRC:p=S Window:p=W");
}

} // namespace
