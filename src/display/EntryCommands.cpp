// What a line typed into the entry field becomes: text for the window's conversation, or one
// of the slash commands, turned into session calls and protocol lines.

#include "IrcDisplayWindow.h"

#include "IrcWindowInfo.h"
#include "ascii_case.h"

#include <Application.h>
#include <Beep.h>
#include <IRC.h>
#include <StringCopy.h>

#include <cstring>
#include <string>

namespace {

// Capacities of the pieces of a line, terminator included; longer input is cut.
constexpr size_t kCommandWordSize = 256;
constexpr size_t kArgumentSize = 1024;
constexpr size_t kCtcpSize = 256;
constexpr size_t kJoinKeySize = 256;
constexpr size_t kKickReasonSize = 1024;

// The arguments of one command line, split once for every command.
struct Arguments
{
    char rest[kArgumentSize]; // everything after the command word and its one space
    char word[kArgumentSize]; // rest up to its first space
    const char* afterWord;    // past the space that ends word; nullptr when rest ends there
};

void SplitArguments(const char* start, Arguments* arguments)
{
    copy_utf8(arguments->rest, sizeof(arguments->rest), start);
    const size_t length = strcspn(arguments->rest, " ");
    copy_utf8(arguments->word, sizeof(arguments->word), arguments->rest, length);
    arguments->afterWord = arguments->rest[length] == ' ' ? arguments->rest + length + 1 : nullptr;
}

// The command word, lower-cased (ASCII only), and where the arguments start: past exactly
// one space, so further spaces belong to the arguments.
const char* SplitCommandWord(const char* line, char* word, size_t size)
{
    const size_t length = strcspn(line, " ");
    copy_utf8(word, size, line, length);
    for (char* c = word; *c != '\0'; c++)
        *c = lower_ascii(*c);
    return line[length] == ' ' ? line + length + 1 : line + length;
}

// What a command asks of the line's end.
enum class Outcome
{
    kDone,    // the one-shot emphasis is used up
    kRefused, // beep; the emphasis stays for the next line
    kSkipped, // nothing happens, no beep; the emphasis stays
};

struct Context
{
    IrcDisplayWindow& window;
    IRC& irc;
    const char* name; // the window's conversation: channel, peer or server host
    signed char emphasis;
    const Arguments& arguments;
};

using Command = Outcome (*)(const Context& context);

struct CommandEntry
{
    const char* word;
    bool restRequired; // an empty rest beeps and keeps the emphasis
    Command run;
};

Outcome Raw(const Context& context, const std::string& line)
{
    context.irc.RawCommand(line.c_str());
    return Outcome::kDone;
}

Outcome Query(const Context& context)
{
    const char* name = context.arguments.rest;
    if (name[0] == '#')
        name++;
    context.irc.JoinChannel(name, nullptr, true);
    return Outcome::kDone;
}

// The text of "/ctcp", "/msg" and "/notice"; nullptr when there is none to send.
const char* TextAfterTarget(const Arguments& arguments)
{
    if (arguments.afterWord == nullptr || arguments.afterWord[0] == '\0')
        return nullptr;
    return arguments.afterWord;
}

Outcome Ctcp(const Context& context)
{
    const char* request = TextAfterTarget(context.arguments);
    if (request == nullptr)
        return Outcome::kRefused;
    char target[kCtcpSize];
    char text[kCtcpSize];
    copy_utf8(target, sizeof(target), context.arguments.word);
    copy_utf8(text, sizeof(text), request);
    context.irc.SendCtcp(text, target);
    return Outcome::kDone;
}

Outcome List(const Context& context)
{
    return Raw(context, "LIST");
}

Outcome Kill(const Context& context)
{
    if (context.arguments.rest[0] == '\0')
        return Outcome::kSkipped;
    return Raw(context, std::string("KILL ") + context.arguments.rest);
}

Outcome Away(const Context& context)
{
    const char* reason = context.arguments.rest;
    return Raw(context, reason[0] == '\0' ? std::string("AWAY") : std::string("AWAY ") + reason);
}

Outcome Quote(const Context& context)
{
    return Raw(context, context.arguments.rest);
}

Outcome Join(const Context& context)
{
    const Arguments& arguments = context.arguments;
    char channel[kArgumentSize];
    if (arguments.word[0] == '#') {
        copy_utf8(channel, sizeof(channel), arguments.word);
    } else {
        channel[0] = '#';
        copy_utf8(channel + 1, sizeof(channel) - 1, arguments.word);
    }
    char key[kJoinKeySize] = {};
    if (arguments.afterWord != nullptr)
        copy_utf8(key, sizeof(key), arguments.afterWord);
    context.irc.JoinChannel(channel, key[0] != '\0' ? key : nullptr, false);
    return Outcome::kDone;
}

Outcome ChannelMode(const Context& context, const char* change)
{
    return Raw(context, std::string("MODE ") + context.name + change + context.arguments.rest);
}

Outcome Op(const Context& context)
{
    return ChannelMode(context, " +o ");
}

Outcome Voice(const Context& context)
{
    return ChannelMode(context, " +v ");
}

Outcome Deop(const Context& context)
{
    return ChannelMode(context, " -o ");
}

Outcome Msg(const Context& context)
{
    const char* text = TextAfterTarget(context.arguments);
    if (text == nullptr)
        return Outcome::kRefused;
    context.irc.Say(context.arguments.word, text, false, -1);
    return Outcome::kDone;
}

Outcome Notice(const Context& context)
{
    const char* text = TextAfterTarget(context.arguments);
    if (text == nullptr)
        return Outcome::kRefused;
    context.irc.Notice(context.arguments.word, text);
    return Outcome::kDone;
}

Outcome Topic(const Context& context)
{
    return Raw(context, std::string("TOPIC ") + context.name + " :" + context.arguments.rest);
}

Outcome Part(const Context& context)
{
    context.window.PostMessage(B_QUIT_REQUESTED);
    return Outcome::kDone;
}

Outcome Clear(const Context& context)
{
    context.window.ClearScrollback();
    return Outcome::kDone;
}

Outcome Mode(const Context& context)
{
    const char* rest = context.arguments.rest;
    if (rest[0] == '#')
        return Raw(context, std::string("MODE ") + rest);
    return Raw(context, std::string("MODE ") + context.name + " " + rest);
}

// Every conversation of this server, in the order their windows opened. A server window's
// list is its own, so the command works there too.
Outcome SayToAll(const Context& context, bool action)
{
    const std::shared_ptr<IrcConversationList>& list = context.window.Conversations();
    if (list == nullptr)
        return Outcome::kDone;
    for (const std::shared_ptr<IrcWindowInfo>& conversation : list->Windows()) {
        const std::string name = conversation->Name();
        context.irc.Say(name.c_str(), context.arguments.rest, action, context.emphasis);
    }
    return Outcome::kDone;
}

Outcome All(const Context& context)
{
    return SayToAll(context, false);
}

Outcome AllMe(const Context& context)
{
    return SayToAll(context, true);
}

Outcome Ignore(const Context& context)
{
    context.irc.Ignore(context.arguments.rest);
    return Outcome::kDone;
}

Outcome Me(const Context& context)
{
    context.irc.Say(context.name, context.arguments.rest, true, context.emphasis);
    return Outcome::kDone;
}

// A second part asks a particular server (the nick's own when it repeats the nick).
Outcome Whois(const Context& context)
{
    const Arguments& arguments = context.arguments;
    std::string line = std::string("WHOIS ") + arguments.word;
    if (arguments.afterWord != nullptr && arguments.afterWord[0] != '\0')
        line += std::string(" ") + arguments.afterWord;
    return Raw(context, line);
}

// The session takes the new nick at once, before the server agrees: an empty one would
// leave the user without a nick of their own.
Outcome Nick(const Context& context)
{
    if (context.arguments.rest[0] == '\0')
        return Outcome::kRefused;
    context.irc.ChangeNick(context.arguments.rest);
    return Outcome::kDone;
}

Outcome Kick(const Context& context)
{
    const Arguments& arguments = context.arguments;
    char reason[kKickReasonSize];
    const bool given = arguments.afterWord != nullptr && arguments.afterWord[0] != '\0';
    copy_utf8(reason, sizeof(reason), given ? arguments.afterWord : context.irc.Nick());
    return Raw(context, std::string("KICK ") + context.name + " " + arguments.word + " :" + reason);
}

// A bare nick bans that nick from any user and host.
Outcome Ban(const Context& context)
{
    const char* mask = context.arguments.word;
    if (mask[0] == '\0')
        return Outcome::kRefused;
    std::string line = std::string("MODE ") + context.name + " +b " + mask;
    if (strpbrk(mask, "!@") == nullptr)
        line += "!*@*";
    return Raw(context, line);
}

Outcome Quit(const Context&)
{
    if (be_app != nullptr)
        be_app->PostMessage(B_QUIT_REQUESTED);
    return Outcome::kDone;
}

// Matched in this order; the first equal word runs.
// clang-format off
const CommandEntry kCommands[] = {
    {"/query",  false, Query},
    {"/q",      false, Query},
    {"/ctcp",   false, Ctcp},
    {"/list",   false, List},
    {"/kill",   false, Kill},
    {"/away",   false, Away},
    {"/raw",    false, Quote},
    {"/quote",  false, Quote},
    {"/join",   false, Join},
    {"/j",      false, Join},
    {"/op",     false, Op},
    {"/voice",  false, Voice},
    {"/v",      false, Voice},
    {"/msg",    false, Msg},
    {"/notice", false, Notice},
    {"/deop",   false, Deop},
    {"/topic",  true,  Topic},
    {"/title",  true,  Topic},
    {"/part",   false, Part},
    {"/leave",  false, Part},
    {"/clear",  false, Clear},
    {"/mode",   true,  Mode},
    {"/a",      true,  All},
    {"/all",    true,  All},
    {"/ame",    true,  AllMe},
    {"/allme",  true,  AllMe},
    {"/ignore", false, Ignore},
    {"/me",     true,  Me},
    {"/whois",  false, Whois},
    {"/nick",   false, Nick},
    {"/kick",   false, Kick},
    {"/ban",    false, Ban},
    {"/quit",   false, Quit},
};
// clang-format on

const CommandEntry* FindCommand(const char* word)
{
    for (const CommandEntry& entry : kCommands) {
        if (strcmp(entry.word, word) == 0)
            return &entry;
    }
    return nullptr;
}

} // namespace

void IrcDisplayWindow::HandleUserEntry(const char* line)
{
    if (line == nullptr || line[0] == '\0')
        return;
    fHistory.emplace_back(line);
    // A long session keeps only its newest lines.
    if (fHistory.size() > kHistoryLimit)
        fHistory.erase(fHistory.begin(),
                       fHistory.begin() + static_cast<ptrdiff_t>(fHistory.size() - kHistoryLimit));
    fPendingLine.clear();
    fHasPendingLine = false;
    fLineEdited = true;
    fHistoryIndex = static_cast<int32>(fHistory.size());
    if (fIrc == nullptr)
        return;

    // "//" escapes a text that begins with a slash, in every kind of window.
    if (line[0] != '/' || line[1] == '/') {
        if (line[0] == '/')
            fIrc->Say(fName, line + 1, false, fEmphasis);
        else if (fWindowType != kServerWindow)
            fIrc->Say(fName, line, false, fEmphasis);
        fEmphasis = -1;
        return;
    }

    char word[kCommandWordSize];
    const char* start = SplitCommandWord(line, word, sizeof(word));
    const CommandEntry* command = FindCommand(word);
    if (command == nullptr) {
        beep();
        fEmphasis = -1;
        return;
    }
    Arguments arguments;
    SplitArguments(start, &arguments);
    if (command->restRequired && arguments.rest[0] == '\0') {
        beep();
        return;
    }
    const Outcome outcome = command->run({*this, *fIrc, fName, fEmphasis, arguments});
    if (outcome == Outcome::kRefused)
        beep();
    else if (outcome == Outcome::kDone)
        fEmphasis = -1;
}
