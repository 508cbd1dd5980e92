#include "irc_replies.h"

#include "irc_link.h"

namespace {

std::string Ctcp(std::string_view word, std::string_view text)
{
    return std::string("\x01") + std::string(word) + " " + std::string(text) + "\x01";
}

} // namespace

std::vector<irc_reply_t> irc_reply_lines(const irc_parsed_t& parsed, const irc_responses_t& texts)
{
    std::vector<irc_reply_t> replies;
    const std::string notice = "NOTICE " + parsed.sender + " :";
    if (parsed.replies & IRC_REPLY_PONG)
        replies.push_back({IRC_REPLY_PONG, "PONG " + parsed.sender});
    if (parsed.replies & IRC_REPLY_VERSION)
        replies.push_back({IRC_REPLY_VERSION, notice + Ctcp("VERSION", texts.version)});
    if (parsed.replies & IRC_REPLY_PING)
        replies.push_back({IRC_REPLY_PING, notice + parsed.ctcp});
    if (parsed.replies & IRC_REPLY_FINGER)
        replies.push_back({IRC_REPLY_FINGER, notice + Ctcp("FINGER", texts.finger)});
    if (parsed.replies & IRC_REPLY_CDCC)
        replies.push_back({IRC_REPLY_CDCC, notice + texts.warez});
    return replies;
}

void irc_send_replies(irc_serv_t* serv, const irc_parsed_t& parsed)
{
    if (parsed.replies == 0)
        return;
    for (const irc_reply_t& reply : irc_reply_lines(parsed, irc_responses())) {
        bool ctcp = reply.kind != IRC_REPLY_PONG;
        if (ctcp && !serv->link->ctcpReplies.Allow(IrcReplyLimiter::Now()))
            continue;
        IRC_Command(serv, reply.line.c_str());
        if (reply.kind == IRC_REPLY_PONG)
            irc_set_out("Playing ping-pong with server!\n");
        else if (reply.kind == IRC_REPLY_PING)
            irc_set_out("Playing ping-pong with " + parsed.sender + "!\n");
    }
}
