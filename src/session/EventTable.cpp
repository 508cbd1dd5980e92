#include "EventTable.h"

#include "SessionMessages.h"

#include <cstring>
#include <string>

namespace {

// Where a field's value comes from.
enum class From
{
    Type,          // int32: the type shown (9 is shown as 0)
    Sender,        // event sender
    Param,         // event param
    Rest,          // event rest
    Session,       // pointer: the session
    ServerWindow,  // pointer: the session's server window
    Conversation,  // sender for a private message, else param (the channel)
    PartChannel,   // first word of rest, '#' added when missing
    PartReason,    // param, or what follows the channel in rest
    ActiveChannel, // the word "Active Channel"
    AllChannels,   // the word "Channels"
    True,          // bool true
};

struct Field
{
    const char* name;
    From from;
};

struct Rule
{
    uint32 what; // 0: nothing is sent
    int32 shownType;
    bool privateOpensWindow;
    bool setInvisible;
    bool echo;
    Field fields[7];
};

constexpr int kTypes = 21;

// Indexed by event type. Fields are added in the order listed. A topic setter (6) sends
// nothing; an action (9) is shown as a message (0).
// clang-format off
const Rule kRules[kTypes] = {
    //                            what               type opens   +i      echo    fields
    /* 0  PRIVMSG             */ {MSG_IRC_EVENT,     0,   true,   false,  false,  {{"type", From::Type}, {"Nick", From::Sender}, {"IRC", From::Session}, {"Channel", From::Conversation}, {"Said", From::Rest}}},
    /* 1  QUIT                */ {MSG_IRC_EVENT,     1,   false,  false,  false,  {{"type", From::Type}, {"Nick", From::Sender}, {"IRC", From::Session}, {"Channel", From::AllChannels}, {"Reason", From::Rest}}},
    /* 2  PART                */ {MSG_IRC_EVENT,     2,   false,  false,  false,  {{"type", From::Type}, {"IRC", From::Session}, {"Nick", From::Sender}, {"Channel", From::PartChannel}, {"Reason", From::PartReason}}},
    /* 3  KICK                */ {MSG_IRC_EVENT,     3,   false,  false,  false,  {{"type", From::Type}, {"Data", From::Rest}, {"From", From::Sender}, {"IRC", From::Session}, {"Channel", From::Param}}},
    /* 4  JOIN                */ {MSG_IRC_EVENT,     4,   false,  false,  false,  {{"type", From::Type}, {"Nick", From::Sender}, {"IRC", From::Session}, {"Host", From::Param}, {"Channel", From::Rest}}},
    /* 5  332 topic           */ {MSG_IRC_EVENT,     5,   false,  false,  false,  {{"type", From::Type}, {"Channel", From::Sender}, {"IRC", From::Session}, {"Topic", From::Rest}}},
    /* 6  333 topic setter    */ {0,                 6,   false,  false,  false,  {}},
    /* 7  353 names           */ {MSG_IRC_EVENT,     7,   false,  false,  false,  {{"type", From::Type}, {"Channel", From::Sender}, {"List", From::Rest}, {"IRC", From::Session}}},
    /* 8  366 end of names    */ {MSG_IRC_EVENT,     8,   false,  true,   false,  {{"type", From::Type}, {"Nick", From::Sender}, {"IRC", From::Session}, {"Channel", From::Sender}, {"Topic", From::Rest}}},
    /* 9  CTCP ACTION         */ {MSG_IRC_EVENT,     0,   true,   false,  false,  {{"type", From::Type}, {"Nick", From::Sender}, {"Channel", From::Conversation}, {"IRC", From::Session}, {"Said", From::Rest}, {"Action", From::True}}},
    /* 10 TOPIC               */ {MSG_IRC_EVENT,     10,  false,  false,  false,  {{"type", From::Type}, {"Topic", From::Rest}, {"Nick", From::Sender}, {"Channel", From::Param}, {"IRC", From::Session}}},
    /* 11 NICK                */ {MSG_IRC_EVENT,     11,  false,  false,  false,  {{"type", From::Type}, {"NewNick", From::Rest}, {"IRC", From::Session}, {"Nick", From::Sender}, {"Channel", From::AllChannels}}},
    /* 12 MODE                */ {MSG_IRC_EVENT,     12,  false,  false,  false,  {{"type", From::Type}, {"From", From::Sender}, {"Channel", From::Param}, {"IRC", From::Session}, {"Change", From::Rest}}},
    /* 13 319 whois channels  */ {MSG_IRC_EVENT,     13,  false,  false,  false,  {{"type", From::Type}, {"IRC", From::Session}, {"Nick", From::Sender}, {"Channel", From::ActiveChannel}, {"In Channels", From::Rest}}},
    /* 14 311 whois user      */ {MSG_IRC_EVENT,     14,  false,  false,  false,  {{"type", From::Type}, {"Channel", From::ActiveChannel}, {"Nick", From::Sender}, {"IRC", From::Session}, {"Info", From::Rest}}},
    /* 15 318 end of whois    */ {MSG_END_OF_WHOIS,  15,  false,  false,  false,  {{"type", From::Type}, {"Nick", From::Sender}}},
    /* 16 312 whois server    */ {MSG_IRC_EVENT,     16,  false,  false,  false,  {{"type", From::Type}, {"Channel", From::ActiveChannel}, {"Nick", From::Sender}, {"IRC", From::Session}, {"Info", From::Rest}}},
    /* 17 error numerics      */ {MSG_IRC_EVENT,     17,  false,  false,  false,  {{"type", From::Type}, {"IRC", From::Session}, {"Nick", From::Sender}, {"Channel", From::ActiveChannel}, {"Info", From::Rest}}},
    /* 18 317 whois idle      */ {MSG_IRC_EVENT,     18,  false,  false,  false,  {{"type", From::Type}, {"Channel", From::ActiveChannel}, {"Nick", From::Sender}, {"IRC", From::Session}, {"Time", From::Rest}}},
    /* 19 NOTICE              */ {MSG_IRC_EVENT,     19,  false,  false,  true,   {{"type", From::Type}, {"IRC", From::Session}, {"Channel", From::ActiveChannel}, {"Info", From::Rest}, {"From", From::Sender}}},
    /* 20 everything else     */ {MSG_RAW_LINE,      20,  false,  false,  false,  {{"type", From::Type}, {"Nick", From::Param}, {"Said", From::Rest}, {"Server", From::ServerWindow}}},
};
// clang-format on

const char* Text(const char* s)
{
    return s ? s : "";
}

bool IsPrivate(const irc_event_t& event)
{
    return Text(event.param)[0] != '#';
}

// A PART's rest is the channel, then the reason if the server sent one.
std::string PartChannel(const irc_event_t& event)
{
    std::string rest = Text(event.rest);
    std::string channel = rest.substr(0, rest.find(' '));
    return channel.empty() || channel[0] == '#' ? channel : "#" + channel;
}

std::string PartReason(const irc_event_t& event)
{
    if (Text(event.param)[0] != '\0')
        return event.param;
    std::string rest = Text(event.rest);
    size_t blank = rest.find(' ');
    if (blank == std::string::npos)
        return "";
    std::string reason = rest.substr(blank + 1);
    return !reason.empty() && reason[0] == ':' ? reason.substr(1) : reason;
}

void AddField(BMessage& message, const Field& field, const Rule& rule, const irc_event_t& event,
              const EventContext& context)
{
    switch (field.from) {
    case From::Type:
        message.AddInt32(field.name, rule.shownType);
        break;
    case From::Sender:
        message.AddString(field.name, Text(event.sender));
        break;
    case From::Param:
        message.AddString(field.name, Text(event.param));
        break;
    case From::Rest:
        message.AddString(field.name, Text(event.rest));
        break;
    case From::Session:
        message.AddPointer(field.name, context.session);
        break;
    case From::ServerWindow:
        message.AddPointer(field.name, context.serverWindow);
        break;
    case From::Conversation:
        message.AddString(field.name, IsPrivate(event) ? Text(event.sender) : Text(event.param));
        break;
    case From::PartChannel:
        message.AddString(field.name, PartChannel(event).c_str());
        break;
    case From::PartReason:
        message.AddString(field.name, PartReason(event).c_str());
        break;
    case From::ActiveChannel:
        message.AddString(field.name, kActiveChannel);
        break;
    case From::AllChannels:
        message.AddString(field.name, kAllChannels);
        break;
    case From::True:
        message.AddBool(field.name, true);
        break;
    }
}

} // namespace

EventMessages BuildEventMessages(const irc_event_t& event, const EventContext& context)
{
    EventMessages out;
    if (event.type < 0 || event.type >= kTypes)
        return out;
    const Rule& rule = kRules[event.type];
    if (rule.what == 0)
        return out;
    if (rule.privateOpensWindow && IsPrivate(event))
        out.openWindow = NewOpenWindowMessage(Text(event.sender), context);
    out.message = std::make_unique<BMessage>(rule.what);
    for (const Field& field : rule.fields) {
        if (field.name == nullptr)
            break;
        AddField(*out.message, field, rule, event, context);
    }
    out.setInvisible = rule.setInvisible;
    out.echo = rule.echo;
    return out;
}

std::unique_ptr<BMessage> NewOpenWindowMessage(const char* channel, const EventContext& context)
{
    auto message = std::make_unique<BMessage>(MSG_OPEN_WINDOW);
    message->AddString("Channel", Text(channel));
    message->AddPointer("IRC", context.session);
    message->AddPointer("Window", context.serverWindow);
    return message;
}

std::unique_ptr<BMessage> NewConnectionLostMessage(const EventContext& context)
{
    auto message = std::make_unique<BMessage>(MSG_RAW_LINE);
    message->AddInt32("type", 20);
    message->AddString("Nick", "");
    message->AddString("Said", kConnectionLost);
    message->AddPointer("Server", context.serverWindow);
    return message;
}
