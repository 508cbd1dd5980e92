#pragma once

#include "StopSignal.h"

#include <Invoker.h>
#include <List.h>
#include <Message.h>
#include <OS.h>
#include <irc.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <shared_mutex>

// One conversation with one IRC server: the identity it registers with, the library's
// connection record, the reader thread "boot_strap" that turns server lines into event
// messages, and every outgoing command the windows use.
//
// Every message the session emits, from its operations and from its reader thread, goes to
// its BInvoker target (the main view) through Invoke, which posts a copy.
//
// Threads: operations run on the calling window's thread, Connect on the server window's
// connect thread, the pump on "boot_strap". Each outgoing line is one send, so lines from
// different threads never interleave. fNick and the ignore list are read and written under
// their own short locks; the connection record is only freed by Disconnect once the reader
// has ended and no command is using it.
class IRC : public BInvoker
{
public:
    IRC(const char* nick, const char* nick2, const char* realName, const char* server, long port,
        BMessage* message, const BHandler* handler, const BLooper* looper);
    // Stops a reader that is still running and releases a record Disconnect did not take.
    // Waits for a Connect still running on another thread.
    virtual ~IRC();

    // Connection
    // Opens the TCP connection and registers (blocks in look-up and connect), then starts
    // the reader, also when opening failed. 0 on success, -1 otherwise (see Error).
    int32 Connect();
    // Stops the reader and waits for it, then sends "QUIT :<reason>", closes and frees the
    // record. Returns 0, within about 100 ms even on a dead connection (the QUIT is left out
    // when the socket has no room for it). Commands afterwards send nothing.
    int32 Disconnect(const char* reason);
    // Stops the reader and waits for it; the record stays (for a session without a live
    // connection).
    void KillThreads();

    // Outgoing commands
    // Copies the nickname at once, invokes 'Amsm', sends "NICK <nick>".
    int32 ChangeNick(const char* nick);
    // Sends the line as it is; returns the bytes sent (negative on failure).
    int32 RawCommand(const char* line);
    // "PRIVMSG <target> :\1<request>\1"
    void SendCtcp(const char* request, const char* target);
    // Invokes 'Amsl' for the channel, then unless openOnly sends "JOIN <channel>[ <key>]".
    int32 JoinChannel(const char* channel, const char* key, bool openOnly);
    // "PART <channel>"; the reason is not sent.
    int32 PartChannel(const char* channel, const char* reason);
    // "NOTICE <target> :<text>"
    void Notice(const char* target, const char* text);
    // Sends a message (an action when action is set; the text between two emphasis bytes
    // unless emphasis is -1) and echoes it as an 'Amsh' type 0, preceded by 'Amsl' when the
    // target is a nickname.
    int32 Say(const char* target, const char* text, bool action, char emphasis);

    // Ignore list: PRIVMSG, NOTICE and CTCP from these nicknames (any case) are dropped
    // without a message or an automatic reply.
    bool Ignore(const char* nick);
    bool IsIgnored(const char* nick) const;

    // State
    // Copies the library's last failure text into dest (at least 128 bytes).
    void Error(char* dest) const;
    int32 interpret(int32 result) const { return result ? 0 : -1; }
    // The current nickname, copied under the nick lock into a per-thread buffer that stays
    // valid until the same thread calls Nick again.
    const char* Nick() const;
    void* Server() const { return fServerWindow; }
    // Set once, before Connect.
    void SetServer(void* serverWindow) { fServerWindow = serverWindow; }
    // Set once, before Connect: the longest queue of messages from this session still waiting
    // to be shown, beside the main view's own. While it is long the reader stops reading, and
    // what the server sends waits in the socket rather than as messages in memory.
    void SetBacklog(std::function<int32()> backlog) { fBacklog = std::move(backlog); }

private:
    friend int32 boot_strap(void* session);

    // Event pump (reader thread)
    void BootStrap();
    bool DispatchEvent(const irc_event_t& event);
    // Asked by the library before a PRIVMSG or NOTICE is answered or reported.
    static int AcceptLine(void* session, const char* command, const char* sender);
    void ConnectionLost();
    // Waits while the messages sent on are far from shown, but not for a window that has
    // stopped taking them.
    void HoldBackWhileBehind();

    // Helpers
    int32 Send(const char* line);
    // Bytes of text that fit in one line with this head and wrapping, leaving room for the
    // sender prefix the server adds.
    size_t TextBudget(size_t headSize, size_t wrapSize) const;
    void CopyNick(char* dest, size_t size) const;
    void StopReader();

    void* fServerWindow = nullptr;
    char fNick[256];
    char fServer[256];
    char fNick2[256];
    char fRealName[256];
    int32 fPort;
    irc_serv_t* fConnection;
    std::atomic<bool> fRunning{true};
    BList* fIgnoreList;
    thread_id fReaderThread = -1;
    std::function<int32()> fBacklog;
    int32 fGaveUpAt = 0; // reader thread only: the backlog of a receiver not waited for

    mutable std::mutex fNickLock;          // fNick
    mutable std::mutex fIgnoreLock;        // fIgnoreList and its strings
    mutable std::shared_mutex fRecordLock; // shared: using fConnection; unique: freeing it
    std::mutex fThreadLock;                // fReaderThread: starting and stopping the reader
    StopSignal fStop;                      // raised to end the reader
    StopSignal fReaderDone;                // raised by the reader as it ends
};

// Thread entry of "boot_strap": runs the session's event pump.
int32 boot_strap(void* session);
