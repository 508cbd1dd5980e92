#pragma once

#include <OS.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

// The ident responder: a listener thread "identd" that answers every request on its port with
// the login user name, whatever connection the request is about, claiming the system "BeOS".
// One responder serves the whole process; starting it again replaces the running one.
namespace identd {

struct Options
{
    uint16_t port = 113;
    // Listen on 127.0.0.1 only instead of every local address.
    bool loopbackOnly = false;
    // A request without a CR by then is answered with what came.
    int readLimitMs = 30000;
    // Requests served at once; a connection beyond that is closed at once.
    int maxRequests = 8;
    // A failed bind is retried after firstRetryMs, doubling up to maxRetryMs.
    int firstRetryMs = 30;
    int maxRetryMs = 5000;
};

// Lifecycle (main window thread)
// Stops a running responder, copies the user name (cut to fit the answer) and starts
// "identd". B_OK, or an error when the thread could not be started.
status_t StartIdentd(const char* userName, const Options& options = Options());
// Closes the listener, ends the request threads and waits for them; returns at once when
// nothing runs.
void StopIdentd();

// Process-wide state. The user name is kept in a private buffer that is only read and
// written under a lock: CopyUserName hands out a copy.
extern const char* const system_name;
extern std::atomic<int32> verbose;
size_t CopyUserName(char* dest, size_t size);

// One running responder; shared by its listener and request threads.
struct Responder;

// Thread entries
// "identd": prints the user name, then runs listen until the responder is stopped.
int32 start_client(void* responder);
// "new identd accept" (priority 5): answers one request, closes its socket, ends.
int32 new_accept(void* request);

// Listener: binds (retrying with a growing delay), accepts and hands each connection to a
// request thread; returns once the responder is stopped, with the listener closed.
void listen(Responder& responder);

// Line I/O on a request socket
// Reads one byte at a time until CR or LF (not stored), end of input, maxLength - 1 bytes, the
// time limit, or the stop descriptor turning readable; terminates buffer; returns the count.
int sock_readline(int sock, int maxLength, char* buffer, int timeoutMs = -1, int stopFd = -1);
// Sends the text, then CR LF; false when a send failed.
bool sock_writeline(int sock, const char* text);

} // namespace identd
