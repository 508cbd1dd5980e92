// Socket mechanics: opening, connecting, host look-up, readiness, raw send and receive.

#include "irc.h"
#include "irc_diag.h"
#include "irc_globals.h"
#include "irc_link.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kSendWaitMs = 10000;

bool SetNonBlocking(int sock)
{
    int flags = fcntl(sock, F_GETFL, 0);
    return flags >= 0 && fcntl(sock, F_SETFL, flags | O_NONBLOCK) == 0;
}

// A connect interrupted by a signal goes on in the background; wait for its outcome.
bool FinishInterruptedConnect(int sock)
{
    pollfd entry{sock, POLLOUT, 0};
    int ready;
    do {
        ready = poll(&entry, 1, -1);
    } while (ready < 0 && errno == EINTR);
    int error = 0;
    socklen_t length = sizeof(error);
    return ready == 1 && getsockopt(sock, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

bool WaitWritable(int sock, int timeoutMs)
{
    pollfd entry{sock, POLLOUT, 0};
    int ready = poll(&entry, 1, timeoutMs);
    return ready == 1 && (entry.revents & POLLOUT) != 0 &&
           (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

bool LineBuffered(irc_serv_t* serv)
{
    return serv->link != nullptr && serv->link->input.HasLine();
}

} // namespace

int IRC_OpenSock()
{
    int sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0) {
        irc_set_error("Couldn't open socket");
        return -1;
    }
    return sock;
}

void IRC_CloseSock(int sock)
{
    if (sock >= 0)
        close(sock);
}

int IRC_Conn(int sock, const sockaddr* address, socklen_t length)
{
    if (connect(sock, address, length) != 0 && !(errno == EINTR && FinishInterruptedConnect(sock)))
        return 1;
    return SetNonBlocking(sock) ? 0 : 1;
}

int IRC_GHBN(const char* host, in_addr* address)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (host == nullptr || getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) {
        irc_set_error("Couldn't resolve IRC server");
        return 0;
    }
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return 1;
}

int IRC_Stat(irc_serv_t* serv, int kind)
{
    if (serv == nullptr || serv->sock < 0 || kind < 0 || kind > 2)
        return 0;
    if (kind == 2 && LineBuffered(serv))
        return 1;
    static constexpr short kEvents[] = {POLLOUT, POLLPRI, POLLIN};
    pollfd entry{serv->sock, kEvents[kind], 0};
    timespec probe{0, 250000};
    if (ppoll(&entry, 1, &probe, nullptr) != 1 || (entry.revents & POLLNVAL) != 0)
        return 0;
    switch (kind) {
    case 0:
        return (entry.revents & POLLOUT) != 0 && (entry.revents & (POLLERR | POLLHUP)) == 0;
    case 1:
        return (entry.revents & POLLPRI) != 0;
    default:
        // End of stream and errors count too: the next read returns at once and reports them.
        return (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    }
}

int IRC_Wait(irc_serv_t* serv, int stopFd, int timeoutMs)
{
    bool open = serv != nullptr && serv->sock >= 0;
    if (open && LineBuffered(serv))
        return 1;
    pollfd entries[2];
    nfds_t count = 0;
    if (stopFd >= 0)
        entries[count++] = {stopFd, POLLIN, 0};
    if (open)
        entries[count++] = {serv->sock, POLLIN, 0};
    int ready;
    do {
        ready = poll(entries, count, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        return 0;
    if (stopFd >= 0 && entries[0].revents != 0)
        return -1;
    const pollfd& socket = entries[count - 1];
    return open && (socket.revents & POLLNVAL) == 0 ? 1 : 0;
}

int IRC_Send(irc_serv_t* serv, const void* data, size_t length)
{
    if (serv == nullptr || serv->link == nullptr || serv->sock < 0) {
        irc_diag("returning %d\n", -1);
        return -1;
    }
    std::lock_guard<std::mutex> hold(serv->link->sendLock);
    const char* bytes = static_cast<const char*>(data);
    size_t sent = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSendWaitMs);
    int result = 0;
    while (sent < length) {
        // MSG_NOSIGNAL: a peer that went away must be a failed send, not a SIGPIPE.
        ssize_t n = send(serv->sock, bytes + sent, length - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() > 0 && WaitWritable(serv->sock, static_cast<int>(left.count())))
                continue;
        }
        result = -1;
        break;
    }
    if (result == 0)
        result = static_cast<int>(sent);
    irc_diag("returning %d\n", result);
    return result;
}

ssize_t IRC_Recv(irc_serv_t* serv, void* buffer, size_t size)
{
    if (serv == nullptr || serv->sock < 0) {
        errno = EBADF;
        return -1;
    }
    ssize_t n;
    do {
        n = recv(serv->sock, buffer, size, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    return n;
}
