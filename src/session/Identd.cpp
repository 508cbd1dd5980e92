#include "Identd.h"

#include "IdentResponder.h"
#include <StringCopy.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace identd {

const char* const system_name = "BeOS";
std::atomic<int32> verbose{0};

namespace {

// The answer buffer holds 255 characters; the user name can never need more.
char gUserName[256];
std::mutex gUserLock;

std::mutex gLifecycleLock; // serialises StartIdentd and StopIdentd
Responder* gCurrent = nullptr;

constexpr int kRequestPriority = 5;
constexpr int kListenerPriority = 10;
constexpr int kBacklog = 5;
// Request threads see the stop at once; this only bounds a thread that is stuck in a send.
constexpr auto kDrainLimit = std::chrono::seconds(2);

int OpenListener(const Options& options)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options.port);
    address.sin_addr.s_addr = htonl(options.loopbackOnly ? INADDR_LOOPBACK : INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(fd, kBacklog) != 0) {
        int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Hands the connection to a request thread, or closes it when too many are being served.
void Dispatch(Responder& responder, int sock)
{
    {
        std::lock_guard<std::mutex> guard(responder.lock);
        if (responder.active >= responder.options.maxRequests) {
            close(sock);
            return;
        }
        ++responder.active;
    }
    auto* request = new Request{sock, &responder};
    thread_id thread = spawn_thread(new_accept, "new identd accept", kRequestPriority, request);
    if (thread >= 0 && resume_thread(thread) == B_OK)
        return;
    delete request;
    close(sock);
    std::lock_guard<std::mutex> guard(responder.lock);
    --responder.active;
    responder.idle.notify_all();
}

// Accepts until stopped (true) or until the listening socket itself fails (false).
bool AcceptLoop(Responder& responder, int fd)
{
    for (;;) {
        pollfd fds[2] = {{responder.stop.Fd(), POLLIN, 0}, {fd, POLLIN, 0}};
        int n = poll(fds, 2, -1);
        if (responder.stop.IsRaised())
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[1].revents & (POLLERR | POLLNVAL))
            return false;
        if (!(fds[1].revents & POLLIN))
            continue;
        int sock = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (sock >= 0) {
            Dispatch(responder, sock);
            continue;
        }
        // A connection that went away before it was taken, or a transient shortage of
        // descriptors, must not take the listener down.
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            if (responder.stop.WaitFor(100))
                return true;
        } else if (errno != EINTR && errno != EAGAIN && errno != ECONNABORTED && errno != EPROTO &&
                   errno != EPERM) {
            return false;
        }
    }
}

} // namespace

size_t CopyUserName(char* dest, size_t size)
{
    std::lock_guard<std::mutex> guard(gUserLock);
    return copy_utf8(dest, size, gUserName);
}

void listen(Responder& responder)
{
    int delay = responder.options.firstRetryMs;
    bool reported = false;
    while (!responder.stop.IsRaised()) {
        int fd = OpenListener(responder.options);
        if (fd < 0) {
            // Once per failing spell: an unprivileged user cannot have port 113, and saying
            // so at every retry would flood the terminal.
            if (!reported)
                fprintf(stderr, "identd: cannot listen on port %u (%s); retrying\n",
                        responder.options.port, strerror(errno));
            reported = true;
            if (responder.stop.WaitFor(delay))
                break;
            delay =
                delay * 2 > responder.options.maxRetryMs ? responder.options.maxRetryMs : delay * 2;
            continue;
        }
        delay = responder.options.firstRetryMs;
        reported = false;
        bool stopped = AcceptLoop(responder, fd);
        close(fd);
        if (stopped)
            break;
    }
}

int32 start_client(void* data)
{
    auto* responder = static_cast<Responder*>(data);
    char user[256];
    CopyUserName(user, sizeof(user));
    printf("\t\t\t***********%s\n", user);
    listen(*responder);
    return 0;
}

status_t StartIdentd(const char* userName, const Options& options)
{
    StopIdentd();
    std::lock_guard<std::mutex> lifecycle(gLifecycleLock);
    {
        std::lock_guard<std::mutex> guard(gUserLock);
        copy_utf8(gUserName, sizeof(gUserName), userName ? userName : "");
    }
    auto* responder = new Responder(options);
    responder->listener = spawn_thread(start_client, "identd", kListenerPriority, responder);
    if (responder->listener < 0 || resume_thread(responder->listener) != B_OK) {
        status_t error = responder->listener < 0 ? responder->listener : B_ERROR;
        delete responder;
        return error;
    }
    gCurrent = responder;
    return B_OK;
}

void StopIdentd()
{
    std::lock_guard<std::mutex> lifecycle(gLifecycleLock);
    Responder* responder = gCurrent;
    gCurrent = nullptr;
    if (responder == nullptr)
        return;
    responder->stop.Raise();
    status_t ignored;
    wait_for_thread(responder->listener, &ignored);
    std::unique_lock<std::mutex> guard(responder->lock);
    bool drained =
        responder->idle.wait_for(guard, kDrainLimit, [&] { return responder->active == 0; });
    guard.unlock();
    // A request thread still holding on keeps its responder: leaking beats a use after free.
    if (drained)
        delete responder;
}

} // namespace identd
