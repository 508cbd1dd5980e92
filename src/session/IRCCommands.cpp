#include "IRC.h"

#include "EventTable.h"
#include "SessionMessages.h"
#include <StringCopy.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string Str(const char* s)
{
    return s ? s : "";
}

// Room a server takes when it passes a line on with its sender prefix ":nick!user@host ":
// the nick, a user name as servers cut it and the longest host name.
size_t RelayPrefixSize(const char* nick)
{
    return strlen(nick) + 1 + 12 + 1 + 63 + 2;
}

// A text too long for one protocol line, in pieces of at most budget bytes: each cut at a
// space near its end when there is one, else on a character boundary. Nothing is lost; the
// space a piece was cut at is not sent.
std::vector<std::string_view> SplitText(std::string_view text, size_t budget)
{
    constexpr size_t kSpaceWindow = 64;
    std::vector<std::string_view> pieces;
    while (text.size() > budget) {
        size_t cut = utf8_prefix_length(text.data(), budget);
        if (cut == 0)
            cut = budget;
        size_t space = text.rfind(' ', cut);
        bool atSpace = space != std::string_view::npos && space > 0 && space + kSpaceWindow >= cut;
        if (atSpace)
            cut = space;
        pieces.push_back(text.substr(0, cut));
        text.remove_prefix(atSpace ? cut + 1 : cut);
    }
    pieces.push_back(text);
    return pieces;
}

} // namespace

int32 IRC::Send(const char* line)
{
    std::shared_lock<std::shared_mutex> guard(fRecordLock);
    if (fConnection == nullptr)
        return -1;
    return IRC_Command(fConnection, line);
}

int32 IRC::ChangeNick(const char* nick)
{
    {
        std::lock_guard<std::mutex> guard(fNickLock);
        copy_utf8(fNick, sizeof(fNick), nick ? nick : "");
    }
    BMessage changed(MSG_NICK_CHANGED);
    Invoke(&changed);
    Send(("NICK " + Str(Nick())).c_str());
    return 0;
}

int32 IRC::RawCommand(const char* line)
{
    return Send(Str(line).c_str());
}

void IRC::SendCtcp(const char* request, const char* target)
{
    std::string line = "PRIVMSG " + Str(target) + " :\x01" + Str(request) + "\x01";
    printf("Send ctcp!!!\n");
    printf("Sending %s\n", line.c_str());
    Send(line.c_str());
    printf("Sent.\n");
}

int32 IRC::JoinChannel(const char* channel, const char* key, bool openOnly)
{
    Invoke(NewOpenWindowMessage(channel, {this, fServerWindow}).get());
    if (openOnly)
        return 0;
    std::string line = "JOIN " + Str(channel);
    if (key != nullptr)
        line += " " + Str(key);
    Send(line.c_str());
    return 0;
}

int32 IRC::PartChannel(const char* channel, const char* /*reason*/)
{
    Send(("PART " + Str(channel)).c_str());
    return 0;
}

void IRC::Notice(const char* target, const char* text)
{
    const std::string head = "NOTICE " + Str(target) + " :";
    const std::string said = Str(text); // the pieces point into it
    for (std::string_view piece : SplitText(said, TextBudget(head.size(), 0)))
        Send((head + std::string(piece)).c_str());
}

size_t IRC::TextBudget(size_t headSize, size_t wrapSize) const
{
    char nick[sizeof(fNick)];
    CopyNick(nick, sizeof(nick));
    // A target too long for any text still gets its text; the library then cuts the line.
    constexpr size_t kLeast = 64;
    const size_t used = headSize + wrapSize + RelayPrefixSize(nick);
    return used + kLeast < IRC_WIRE_LINE_MAX ? IRC_WIRE_LINE_MAX - used : kLeast;
}

int32 IRC::Say(const char* target, const char* text, bool action, char emphasis)
{
    std::string to = Str(target);
    // A private window must exist before the echo reaches the main view.
    if (to.empty() || to[0] != '#')
        Invoke(NewOpenWindowMessage(to.c_str(), {this, fServerWindow}).get());

    const std::string head = "PRIVMSG " + to + " :";
    // Actions and emphasis wrap every piece of a long text.
    std::string before;
    std::string after;
    if (action) {
        before = "\x01"
                 "ACTION ";
        after = "\x01";
    } else if (static_cast<signed char>(emphasis) != -1) { // char may be unsigned
        before = after = std::string(1, emphasis);
    }
    const std::string said = Str(text); // the pieces point into it
    for (std::string_view piece :
         SplitText(said, TextBudget(head.size(), before.size() + after.size())))
        Send((head + before + std::string(piece) + after).c_str());

    BMessage echo(MSG_IRC_EVENT);
    echo.AddInt32("type", 0);
    echo.AddString("Nick", Nick());
    echo.AddString("Channel", to.c_str());
    echo.AddString("Said", Str(text).c_str());
    echo.AddPointer("IRC", this);
    echo.AddBool("Action", action);
    Invoke(&echo);
    return 0;
}
