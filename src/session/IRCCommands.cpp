#include "IRC.h"

#include "EventTable.h"
#include "SessionMessages.h"
#include <StringCopy.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

std::string Str(const char* s)
{
    return s ? s : "";
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
    Send(("NOTICE " + Str(target) + " :" + Str(text)).c_str());
}

int32 IRC::Say(const char* target, const char* text, bool action, char emphasis)
{
    std::string to = Str(target);
    // A private window must exist before the echo reaches the main view.
    if (to.empty() || to[0] != '#')
        Invoke(NewOpenWindowMessage(to.c_str(), {this, fServerWindow}).get());

    std::string line = "PRIVMSG " + to + " :";
    if (action)
        line += "\x01"
                "ACTION " +
                Str(text) + "\x01";
    else if (static_cast<signed char>(emphasis) == -1) // char may be unsigned
        line += Str(text);
    else
        line += emphasis + Str(text) + emphasis;
    Send(line.c_str());

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
