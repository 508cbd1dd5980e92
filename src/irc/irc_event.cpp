// IRC_GetEvent: read a line, show it, parse it, answer it, hand it to the caller.

#include "irc.h"
#include "irc_diag.h"
#include "irc_globals.h"
#include "irc_link.h"
#include "irc_parse.h"
#include "irc_replies.h"

#include <cstdlib>
#include <cstring>

namespace {

char* HeapCopy(const std::string& text)
{
    char* copy = static_cast<char*>(malloc(text.size() + 1));
    if (copy != nullptr)
        memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

bool Filtered(const irc_serv_t* serv, const irc_parsed_t& parsed)
{
    const irc_link_t* link = serv->link;
    if (link == nullptr || link->filter == nullptr)
        return false;
    if (parsed.command != "PRIVMSG" && parsed.command != "NOTICE")
        return false;
    return link->filter(link->filterContext, parsed.command.c_str(), parsed.sender.c_str()) == 0;
}

} // namespace

void IRC_SetLineFilter(irc_serv_t* serv, irc_line_filter_t filter, void* context)
{
    if (serv == nullptr || serv->link == nullptr)
        return;
    serv->link->filter = filter;
    serv->link->filterContext = context;
}

void IRC_FreeEvent(irc_event_t* event)
{
    if (event == nullptr)
        return;
    for (char** field : {&event->sender, &event->param, &event->rest}) {
        free(*field);
        *field = nullptr;
    }
}

int IRC_GetEvent(irc_serv_t* serv, irc_event_t* event)
{
    if (serv == nullptr || event == nullptr)
        return -1;
    // Room for a full-length line with its CR LF; the parse cuts the text itself.
    char line[IRC_LINE_MAX + 3];
    size_t length = 0;
    int got = IRC_get_line(serv, line, sizeof(line), &length);
    if (got != 1)
        return got;
    irc_parsed_t parsed = IRC_ParseLine({line, length});
    irc_diag("%s\n", parsed.line.c_str());
    irc_set_out(parsed.line);
    if (Filtered(serv, parsed))
        return 2;
    irc_send_replies(serv, parsed);
    IRC_FreeEvent(event);
    event->type = parsed.type;
    event->sender = HeapCopy(parsed.sender);
    event->param = HeapCopy(parsed.param);
    event->rest = HeapCopy(parsed.rest);
    return 1;
}
