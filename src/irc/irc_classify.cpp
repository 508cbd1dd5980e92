#include "irc_classify.h"

#include "irc.h"
#include "irc_split.h"
#include "irc_text.h"

namespace {

std::string_view FirstWord(std::string_view rest)
{
    return irc_bounded(rest.substr(0, rest.find(' ')), IRC_WORD_MAX);
}

std::string_view BeforeFirstColon(std::string_view rest)
{
    return rest.substr(0, rest.find(':'));
}

std::string_view AfterFirstColon(std::string_view rest)
{
    size_t colon = rest.find(':');
    return colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
}

bool Contains(std::string_view text, std::string_view word)
{
    return text.find(word) != std::string_view::npos;
}

void ServerPing(irc_parsed_t& p)
{
    p.replies |= IRC_REPLY_PONG;
}

void Privmsg(irc_parsed_t& p)
{
    if (p.rest.empty() || p.rest.front() != '\x01')
        return;
    // A CTCP request; every request word it contains is answered.
    p.type = IRC_EV_RAW;
    p.ctcp = p.rest;
    if (Contains(p.ctcp, "VERSION"))
        p.replies |= IRC_REPLY_VERSION;
    if (Contains(p.ctcp, "PING"))
        p.replies |= IRC_REPLY_PING;
    if (Contains(p.ctcp, "FINGER"))
        p.replies |= IRC_REPLY_FINGER;
    if (Contains(p.ctcp, "CDCC"))
        p.replies |= IRC_REPLY_CDCC;
    if (Contains(p.ctcp, "ACTION")) {
        // The text starts past "\x01ACTION "; never in the middle of a UTF-8 sequence.
        size_t start = std::min<size_t>(8, p.ctcp.size());
        while (start < p.ctcp.size() && (static_cast<unsigned char>(p.ctcp[start]) & 0xC0) == 0x80)
            ++start;
        p.rest = irc_without(std::string_view(p.ctcp).substr(start), "\x01");
        p.type = IRC_EV_ACTION;
    }
}

void SenderIsFirstWord(irc_parsed_t& p)
{
    p.sender = FirstWord(p.rest);
}

void SenderAndTextAfterColon(irc_parsed_t& p)
{
    p.sender = FirstWord(p.rest);
    p.rest = AfterFirstColon(p.rest);
}

void WhoisIdle(irc_parsed_t& p)
{
    p.sender = FirstWord(p.rest);
    p.param = p.sender;
    p.rest = irc_idle_text(p.rest);
}

void TopicSetter(irc_parsed_t& p)
{
    p.sender = FirstWord(p.rest);
    size_t blank = p.rest.find(' ');
    p.rest = blank == std::string::npos ? std::string() : p.rest.substr(blank + 1);
}

void Names(irc_parsed_t& p)
{
    // "= #chan :names": the channel is what is left of the part before the colon once the
    // blanks and the channel-kind markers are gone.
    p.sender = irc_bounded(irc_without(BeforeFirstColon(p.rest), " =*@"), IRC_WORD_MAX);
    p.rest = AfterFirstColon(p.rest);
}

void EndOfNames(irc_parsed_t& p)
{
    p.sender = irc_bounded(irc_without(BeforeFirstColon(p.rest), " :"), IRC_WORD_MAX);
    p.rest.clear();
}

void Mode(irc_parsed_t& p)
{
    // Servers may send the last argument as a trailing parameter ("+ov bob :bob"); its colon
    // is syntax, not part of the nick, mask or key.
    size_t trailing = p.rest.find(" :");
    if (trailing != std::string::npos)
        p.rest.erase(trailing + 1, 1);
}

struct Row
{
    std::string_view commands; // blank-separated command words
    int32_t type;
    void (*reshape)(irc_parsed_t&);
};

// In order; the first row whose list holds the command word decides. Anything else is a raw
// line (IRC_EV_RAW) as split.
constexpr Row kRows[] = {
    {"PING", IRC_EV_RAW, ServerPing},
    {"PRIVMSG", IRC_EV_PRIVMSG, Privmsg},
    {"QUIT", IRC_EV_QUIT, nullptr},
    {"KICK", IRC_EV_KICK, nullptr},
    {"JOIN", IRC_EV_JOIN, nullptr},
    {"PART", IRC_EV_PART, nullptr},
    {"311", IRC_EV_WHOIS_USER, SenderIsFirstWord},
    {"312", IRC_EV_WHOIS_SERVER, SenderIsFirstWord},
    {"317", IRC_EV_WHOIS_IDLE, WhoisIdle},
    {"319", IRC_EV_WHOIS_CHANNELS, SenderAndTextAfterColon},
    {"318", IRC_EV_WHOIS_END, SenderIsFirstWord},
    {"401 482 467 471 472 473 474 475 481 483 491 501 502", IRC_EV_ERROR, SenderAndTextAfterColon},
    {"332", IRC_EV_TOPIC_REPLY, SenderAndTextAfterColon},
    {"333", IRC_EV_TOPIC_SETTER, TopicSetter},
    {"353", IRC_EV_NAMES, Names},
    {"366", IRC_EV_END_NAMES, EndOfNames},
    {"TOPIC", IRC_EV_TOPIC, nullptr},
    {"MODE", IRC_EV_MODE, Mode},
    {"NICK", IRC_EV_NICK, nullptr},
    {"NOTICE", IRC_EV_NOTICE, nullptr},
};

bool Lists(std::string_view commands, std::string_view command)
{
    while (!commands.empty()) {
        size_t blank = commands.find(' ');
        if (commands.substr(0, blank) == command)
            return true;
        if (blank == std::string_view::npos)
            break;
        commands.remove_prefix(blank + 1);
    }
    return false;
}

} // namespace

void irc_classify(irc_parsed_t& parsed)
{
    parsed.type = IRC_EV_RAW;
    if (parsed.command.empty())
        return;
    for (const Row& row : kRows) {
        if (!Lists(row.commands, parsed.command))
            continue;
        parsed.type = row.type;
        if (row.reshape != nullptr)
            row.reshape(parsed);
        return;
    }
}
