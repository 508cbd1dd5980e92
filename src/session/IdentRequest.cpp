#include "Identd.h"

#include "IdentResponder.h"
#include <StringCopy.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace identd {

namespace {

constexpr int kRequestLength = 64; // 63 characters and the terminator
constexpr size_t kAnswerLength = 256;

// Waits until sock has a byte (true) or the time is up, the stop fired or the socket failed.
bool WaitReadable(int sock, int stopFd, std::chrono::steady_clock::time_point deadline,
                  bool limited)
{
    for (;;) {
        int wait = -1;
        if (limited) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            wait = static_cast<int>(left.count());
        }
        pollfd fds[2] = {{sock, POLLIN, 0}, {stopFd, POLLIN, 0}};
        int n = poll(fds, stopFd >= 0 ? 2 : 1, wait);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || (stopFd >= 0 && (fds[1].revents & POLLIN)))
            return false;
        return true;
    }
}

// "<request> : USERID : <system> : <user>", the user name cut so the whole fits.
void FormatAnswer(char* answer, size_t size, const char* request)
{
    char user[kAnswerLength];
    CopyUserName(user, sizeof(user));
    int head = snprintf(answer, size, "%s : USERID : %s : ", request, system_name);
    if (head < 0 || static_cast<size_t>(head) >= size) {
        answer[0] = '\0';
        return;
    }
    copy_utf8(answer + head, size - head, user);
}

} // namespace

int sock_readline(int sock, int maxLength, char* buffer, int timeoutMs, int stopFd)
{
    if (maxLength <= 0)
        return 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    int count = 0;
    while (count < maxLength - 1) {
        if (!WaitReadable(sock, stopFd, deadline, timeoutMs >= 0))
            break;
        char c;
        ssize_t got = recv(sock, &c, 1, 0);
        if (got < 0 && errno == EINTR)
            continue;
        // An LF ends the line too, so it is never echoed into the middle of the answer.
        if (got != 1 || c == '\r' || c == '\n')
            break;
        buffer[count++] = c;
    }
    count = static_cast<int>(utf8_prefix_length(buffer, count));
    buffer[count] = '\0';
    return count;
}

bool sock_writeline(int sock, const char* text)
{
    bool ok = send(sock, text, strlen(text), MSG_NOSIGNAL) >= 0;
    return send(sock, "\r\n", 2, MSG_NOSIGNAL) == 2 && ok;
}

int32 new_accept(void* data)
{
    auto* request = static_cast<Request*>(data);
    Responder& responder = *request->responder;
    char line[kRequestLength];
    sock_readline(request->sock, sizeof(line), line, responder.options.readLimitMs,
                  responder.stop.Fd());
    if (!responder.stop.IsRaised()) {
        char answer[kAnswerLength];
        FormatAnswer(answer, sizeof(answer), line);
        if (verbose.load()) {
            printf("Ident request recieved from ... for %s\r\n", line);
            printf("sent : %s \r\n", answer);
        }
        sock_writeline(request->sock, answer);
    }
    close(request->sock);
    delete request;
    // Last touch of the responder: StopIdentd may free it as soon as the lock is released.
    std::lock_guard<std::mutex> guard(responder.lock);
    --responder.active;
    responder.idle.notify_all();
    return 0;
}

} // namespace identd
