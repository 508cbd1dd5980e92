#include "IrcTestUtil.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace irctest {

namespace {

// Library diagnostics stay out of the test output; tests that look at them install a sink.
const bool kSilenced = (IRC_SetDiagnosticSink(nullptr), IRC_Init(), true);

} // namespace

ServPtr PairedServ(int* peer)
{
    (void)kSilenced;
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        throw std::runtime_error("socketpair failed");
    fcntl(pair[0], F_SETFL, fcntl(pair[0], F_GETFL) | O_NONBLOCK);
    ServPtr serv(IRC_GetServ());
    serv->sock = pair[0];
    serv->state = 1;
    *peer = pair[1];
    return serv;
}

int NextEvent(irc_serv_t* serv, Event& event, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int got = IRC_GetEvent(serv, &event.record);
        if (got != 0)
            return got;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0)
            return 0;
        IRC_Wait(serv, -1, static_cast<int>(left));
    }
}

void WriteAll(int fd, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("test write failed");
        sent += static_cast<size_t>(n);
    }
}

std::string CopiedOut()
{
    char text[600];
    IRC_CopyOut(text, sizeof(text));
    return text;
}

std::string CopiedError()
{
    char text[128];
    IRC_CopyError(text, sizeof(text));
    return text;
}

} // namespace irctest
