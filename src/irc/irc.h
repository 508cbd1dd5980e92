#pragma once

// The protocol library: one TCP connection to one IRC server per irc_serv_t, plain IRC_*
// functions over it, and a handful of process-wide texts. POSIX sockets only.
//
// Threads: one reader thread per record calls IRC_Stat/IRC_Wait, IRC_get_line and
// IRC_GetEvent (they own the receive buffer and the reply limiter); any thread may call
// IRC_Command/IRC_Send at the same time, and each line goes out whole, never interleaved
// with another thread's line. IRC_Disconnect and IRC_FreeServ must not race with anything
// else on the same record: stop the reader first.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/types.h>

struct irc_link_t; // receive buffer, send lock, reply limiter (private to the library)

// One connection. Allocated by IRC_GetServ, released by IRC_Disconnect or IRC_FreeServ.
struct irc_serv_t
{
    int32_t state = 0; // 0 = not connected, 1 = TCP connected and NICK/USER sent
    int32_t sock = -1; // -1 when no socket is open
    // Heap copies owned by the record, set by IRC_StartConnect.
    char* server = nullptr;
    char* realname = nullptr;
    char* username = nullptr;
    char* nick = nullptr;
    char* altnick = nullptr; // stored, never sent
    // Set once the peer closed the connection or the socket failed; never cleared.
    std::atomic<int32_t> ended{0};
    irc_link_t* link = nullptr;
};

// Event types of irc_event_t::type.
enum : int32_t
{
    IRC_EV_PRIVMSG = 0,
    IRC_EV_QUIT = 1,
    IRC_EV_PART = 2,
    IRC_EV_KICK = 3,
    IRC_EV_JOIN = 4,
    IRC_EV_TOPIC_REPLY = 5,  // 332
    IRC_EV_TOPIC_SETTER = 6, // 333
    IRC_EV_NAMES = 7,        // 353
    IRC_EV_END_NAMES = 8,    // 366
    IRC_EV_ACTION = 9,
    IRC_EV_TOPIC = 10,
    IRC_EV_NICK = 11,
    IRC_EV_MODE = 12,
    IRC_EV_WHOIS_CHANNELS = 13, // 319
    IRC_EV_WHOIS_USER = 14,     // 311
    IRC_EV_WHOIS_END = 15,      // 318
    IRC_EV_WHOIS_SERVER = 16,   // 312
    IRC_EV_ERROR = 17,          // error numerics
    IRC_EV_WHOIS_IDLE = 18,     // 317
    IRC_EV_NOTICE = 19,
    IRC_EV_RAW = 20, // everything else, PING and CTCP requests other than ACTION
};

// One parsed server line. The caller owns the record and sets the pointers to null before
// the first IRC_GetEvent; the strings are heap strings owned by the library, replaced by
// every IRC_GetEvent that returns 1 and released by IRC_FreeEvent.
struct irc_event_t
{
    int32_t type = IRC_EV_RAW;
    char* sender = nullptr;
    char* param = nullptr;
    char* rest = nullptr;
};

// Process-wide texts, shared by every connection. Written only by the library, under its
// lock; read IRC_Error and IRC_Out through IRC_CopyError and IRC_CopyOut.
extern char IRC_Error[128];           // last failure
extern char IRC_Out[600];             // last raw line read, or a ping notice
extern char IRC_FingerResponse[600];  // reply to CTCP FINGER
extern char IRC_VersionResponse[600]; // reply to CTCP VERSION
extern char IRC_WarezResponse[600];   // reply to CDCC

// Set-up and texts
int IRC_Init();                                     // writes the three reply texts; returns 1
void IRC_CopyError(char* destination, size_t size); // bounded copy, always terminated
void IRC_CopyOut(char* destination, size_t size);

// Diagnostics: every line read and every send result is reported to the sink, stdout by
// default. A null sink silences them (tests do).
using irc_diag_sink_t = void (*)(const char* text);
void IRC_DiagStdout(const char* text);
void IRC_SetDiagnosticSink(irc_diag_sink_t sink);

// Record lifecycle
irc_serv_t* IRC_GetServ(); // null with IRC_Error set when out of memory
// Opens the connection and registers: NICK, then "USER <username> host server :<realname>".
// The ignored argument is kept for callers written against the old signature.
int IRC_StartConnect(irc_serv_t* serv, const char* server, uint16_t port, const char* nick,
                     const char* altnick, const char* ignored, const char* realname,
                     const char* username);
// Sends "QUIT :<reason>" (only when the socket has room for it at once), waits at most
// 50 ms for the server to close, closes the socket and frees the record. Returns 1.
int IRC_Disconnect(irc_serv_t* serv, const char* reason);
// Frees a record without sending anything (a failed or never started connection).
void IRC_FreeServ(irc_serv_t* serv);
int IRC_Ended(const irc_serv_t* serv); // nonzero once the connection has ended

// Sending. IRC_Command sends the line up to its first CR, LF or NUL, cut to at most
// IRC_WIRE_LINE_MAX bytes on a UTF-8 boundary, then CR LF, as one IRC_Send. IRC_Send sends
// all bytes (retrying short sends, waiting at most 10 s for room) under the record's send
// lock; returns the byte count, or -1 on failure.
constexpr size_t IRC_WIRE_LINE_MAX = 510; // a protocol line, less its CR LF
int IRC_Command(irc_serv_t* serv, const char* line);
int IRC_Send(irc_serv_t* serv, const void* data, size_t length);

// Receiving. IRC_Recv is one non-blocking recv (EINTR retried); returns its result.
ssize_t IRC_Recv(irc_serv_t* serv, void* buffer, size_t size);
// Hands out the next line, bytes as received including CR and LF, NUL-terminated, at most
// size - 1 bytes (longer lines are cut on a UTF-8 boundary, the rest up to LF dropped).
// A complete line already buffered is returned without touching the socket.
//   1  a line was stored (*length = its byte count, if length is not null)
//   0  no complete line yet; nothing stored
//  -1  the connection has ended and nothing is left; nothing stored
// When the peer closes, an unterminated last line is handed out once (result 1).
int IRC_get_line(irc_serv_t* serv, char* buffer, size_t size, size_t* length = nullptr);

// Readiness. kind 0 = writable, 1 = exceptional condition, 2 = readable (also true while a
// complete line is buffered, or when a read would report the end). Waits at most 250 µs.
// A closed or invalid socket is never ready.
int IRC_Stat(irc_serv_t* serv, int kind);
// Waits up to timeoutMs (-1 = no limit) until IRC_Stat(serv, 2) would be true or stopFd
// (ignored when negative) becomes readable. 1 = readable, 0 = timed out, -1 = stop.
int IRC_Wait(irc_serv_t* serv, int stopFd, int timeoutMs);

// Parsing. Reads one line, fills the record, answers PING and CTCP requests (CTCP replies
// at most 4 per 10 s per connection; PINGs always).
//   1  an event was read; the record holds it
//   0  no complete line yet; the record is untouched
//  -1  the connection has ended (or was never open); the record is untouched
//   2  a line was read and dropped by the line filter; nothing was answered, the record is
//      untouched
int IRC_GetEvent(irc_serv_t* serv, irc_event_t* event);

// Asked by IRC_GetEvent for every PRIVMSG and NOTICE after it is parsed and before any
// automatic reply is sent; command is the command word, sender the parsed sender. Returning
// 0 drops the line. Called on the reader thread; install it before the reader starts.
using irc_line_filter_t = int (*)(void* context, const char* command, const char* sender);
void IRC_SetLineFilter(irc_serv_t* serv, irc_line_filter_t filter, void* context);
void IRC_FreeEvent(irc_event_t* event); // releases the strings, pointers back to null

// Socket mechanics
int IRC_OpenSock(); // IPv4 stream socket, or -1 with IRC_Error set
void IRC_CloseSock(int sock);
// Blocking connect; on success the socket is switched to non-blocking. 0 = ok, 1 = failed.
int IRC_Conn(int sock, const sockaddr* address, socklen_t length);
// First IPv4 address of the host; 1, or 0 with IRC_Error = "Couldn't resolve IRC server".
int IRC_GHBN(const char* host, in_addr* address);

// String helpers, in place or bounded
void IRC_strip_char(char* string, char c); // removes every c
void IRC_stop_at(char* string, char c);    // ends the string at the first c
// Copies source up to the first c (or all of it) into destination of the given size; always
// terminated, cut on a UTF-8 boundary when it does not fit.
void IRC_cpy_till(char* destination, const char* source, char c, size_t size);
