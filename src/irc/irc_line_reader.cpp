// Reading lines: blocks from the socket into the record's buffer, one line out per call.

#include "irc.h"
#include "irc_link.h"

#include <cerrno>

namespace {

// The connection is over: hand out what is left of an unterminated line, once.
int End(irc_serv_t* serv, char* buffer, size_t size, size_t* length)
{
    serv->ended.store(1);
    return serv->link->input.TakeRest(buffer, size, length) ? 1 : -1;
}

} // namespace

int IRC_get_line(irc_serv_t* serv, char* buffer, size_t size, size_t* length)
{
    size_t ignored;
    if (length == nullptr)
        length = &ignored;
    if (serv == nullptr || serv->link == nullptr || buffer == nullptr || size == 0)
        return -1;
    IrcLineBuffer& input = serv->link->input;
    if (input.TakeLine(buffer, size, length))
        return 1;
    if (serv->ended.load() || serv->sock < 0)
        return -1;
    // Read until a line is complete or the socket has nothing more for now. Each pass either
    // completes a line, grows the pending line towards its limit, or stops.
    for (;;) {
        size_t space = input.WriteSpace();
        if (space == 0)
            return 0;
        ssize_t n = IRC_Recv(serv, input.WriteArea(), space);
        if (n > 0) {
            input.Commit(static_cast<size_t>(n));
            if (input.TakeLine(buffer, size, length))
                return 1;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        return End(serv, buffer, size, length);
    }
}
