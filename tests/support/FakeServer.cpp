#include "FakeServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

int RemainingMs(std::chrono::steady_clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

FakeServer::FakeServer() : FakeServer(0) {}

FakeServer::FakeServer(uint16_t port)
{
    fListener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fListener < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t length = sizeof(address);
    // Port 0: the kernel picks a free port, so there is no race with other tests.
    if (bind(fListener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        listen(fListener, 4) == 0 &&
        getsockname(fListener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        fPort = ntohs(address.sin_port);
}

FakeServer::~FakeServer()
{
    CloseClient();
    if (fListener >= 0)
        close(fListener);
}

bool FakeServer::Accept(int timeoutMs)
{
    pollfd entry{fListener, POLLIN, 0};
    if (fListener < 0 || poll(&entry, 1, timeoutMs) != 1)
        return false;
    fClient = accept4(fListener, nullptr, nullptr, SOCK_CLOEXEC);
    fClosed = false;
    fReset = false;
    return fClient >= 0;
}

void FakeServer::CloseClient()
{
    if (fClient >= 0)
        close(fClient);
    fClient = -1;
}

void FakeServer::ResetClient()
{
    if (fClient < 0)
        return;
    // A zero linger time makes close() abort the connection.
    linger abort{1, 0};
    setsockopt(fClient, SOL_SOCKET, SO_LINGER, &abort, sizeof(abort));
    CloseClient();
}

void FakeServer::ShutdownSend()
{
    if (fClient >= 0)
        shutdown(fClient, SHUT_WR);
}

bool FakeServer::Send(std::string_view bytes)
{
    size_t sent = 0;
    while (fClient >= 0 && sent < bytes.size()) {
        ssize_t n = send(fClient, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return fClient >= 0;
}

bool FakeServer::ReadSome(int timeoutMs)
{
    if (fClient < 0 || fClosed)
        return false;
    pollfd entry{fClient, POLLIN, 0};
    if (poll(&entry, 1, timeoutMs) != 1)
        return false;
    char buffer[65536];
    ssize_t n = recv(fClient, buffer, sizeof(buffer), 0);
    if (n <= 0) {
        fClosed = true;
        fReset = n < 0 && errno == ECONNRESET;
        return false;
    }
    fReceived.append(buffer, static_cast<size_t>(n));
    return true;
}

size_t FakeServer::Count(std::string_view needle) const
{
    size_t count = 0;
    for (size_t at = fReceived.find(needle); at != std::string::npos && !needle.empty();
         at = fReceived.find(needle, at + needle.size()))
        ++count;
    return count;
}

bool FakeServer::WaitFor(std::string_view needle, size_t count, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Count(needle) < count) {
        int left = RemainingMs(deadline);
        if (left == 0 || !ReadSome(left))
            return Count(needle) >= count;
    }
    return true;
}

void FakeServer::Collect(int ms)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (int left = ms; left > 0 && ReadSome(left); left = RemainingMs(deadline)) {
    }
}

bool FakeServer::WaitForClose(int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!fClosed) {
        if (fClient < 0)
            return false;
        int left = RemainingMs(deadline);
        if (left == 0)
            return false;
        ReadSome(left);
    }
    return true;
}

} // namespace testsupport
