#pragma once

// The automatic replies to server PINGs and CTCP requests.

#include "irc.h"
#include "irc_globals.h"
#include "irc_parse.h"

#include <string>
#include <vector>

struct irc_reply_t
{
    uint32_t kind;    // one IRC_REPLY_* bit; all but IRC_REPLY_PONG count against the limit
    std::string line; // without CR LF
};

// The reply lines parsed asks for, in the order they are sent.
std::vector<irc_reply_t> irc_reply_lines(const irc_parsed_t& parsed, const irc_responses_t& texts);

// Sends them on serv: PONGs always, CTCP replies while the limit allows. A ping answered
// leaves its notice in IRC_Out. Reader thread only.
void irc_send_replies(irc_serv_t* serv, const irc_parsed_t& parsed);
