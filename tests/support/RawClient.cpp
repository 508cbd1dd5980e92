#include "RawClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

RawClient::~RawClient()
{
    Close();
}

bool RawClient::Connect(uint16_t port, int timeoutMs)
{
    Close();
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        fSock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fSock >= 0 &&
            connect(fSock, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
            return true;
        Close();
        poll(nullptr, 0, 5);
    } while (RemainingMs(deadline) > 0);
    return false;
}

void RawClient::Close()
{
    if (fSock >= 0)
        close(fSock);
    fSock = -1;
    fPending.clear();
}

bool RawClient::Register(const std::string& nick, int timeoutMs)
{
    return SendRegistration(nick) && WaitForWelcome(timeoutMs);
}

bool RawClient::SendRegistration(const std::string& nick)
{
    return SendLine("NICK " + nick) && SendLine("USER " + nick + " 0 * :raw test client");
}

bool RawClient::WaitForWelcome(int timeoutMs)
{
    auto welcome = ReadLineUntil(
        [](const std::string& line) { return line.find(" 001 ") != std::string::npos; }, timeoutMs);
    return welcome.has_value();
}

bool RawClient::SendLine(std::string_view line)
{
    std::string wire = std::string(line) + "\r\n";
    size_t sent = 0;
    while (fSock >= 0 && sent < wire.size()) {
        ssize_t n = send(fSock, wire.data() + sent, wire.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return fSock >= 0;
}

std::optional<std::string> RawClient::ReadLine(int timeoutMs)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        size_t lineFeed = fPending.find('\n');
        if (lineFeed != std::string::npos) {
            std::string line = fPending.substr(0, lineFeed);
            fPending.erase(0, lineFeed + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            fSeen.push_back(line);
            if (fAnswerPings && line.rfind("PING ", 0) == 0) {
                SendLine("PONG " + line.substr(5));
                continue;
            }
            return line;
        }
        pollfd entry{fSock, POLLIN, 0};
        if (fSock < 0 || poll(&entry, 1, RemainingMs(deadline)) != 1)
            return std::nullopt;
        char buffer[8192];
        ssize_t n = recv(fSock, buffer, sizeof(buffer), 0);
        if (n <= 0)
            return std::nullopt;
        fPending.append(buffer, static_cast<size_t>(n));
    }
}

std::optional<std::string>
RawClient::ReadLineUntil(const std::function<bool(const std::string&)>& match, int timeoutMs)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (auto line = ReadLine(RemainingMs(deadline))) {
        if (match(*line))
            return line;
    }
    return std::nullopt;
}

} // namespace testsupport
