#pragma once

// The private part of an irc_serv_t.

#include "IrcLineBuffer.h"
#include "IrcReplyLimiter.h"
#include "irc.h"
#include "irc_parse.h"

#include <mutex>

struct irc_link_t
{
    // Owned by the reader thread.
    IrcLineBuffer input{IRC_LINE_MAX + 2}; // a full-length line plus CR LF
    IrcReplyLimiter ctcpReplies;
    // Held for the whole of one IRC_Send, so lines from different threads never interleave.
    std::mutex sendLock;
    // Asked before a line's automatic replies; set before the reader starts.
    irc_line_filter_t filter = nullptr;
    void* filterContext = nullptr;
};
