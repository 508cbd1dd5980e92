#pragma once

// A handle on a looper (and one of its handlers) that stays safe after the looper is gone:
// sending to or locking a looper that has quit fails with an error instead of touching freed
// memory. Keep a BMessenger, not a raw pointer, to address a looper that may quit first.
// Copies are cheap; a messenger may be used from any thread (one thread per object).

#include <OS.h>
#include <SupportDefs.h>

#include <memory>

class BHandler;
class BLooper;
class BMessage;

namespace kit_private {
struct LooperPort;
}

class BMessenger
{
public:
    BMessenger(); // invalid
    // Targets the handler (in its looper) or, with handler == nullptr, the looper's preferred
    // handler. *result: B_OK; B_BAD_VALUE when both are nullptr or the looper is gone;
    // B_MISMATCHED_VALUES when the handler is not in a looper, or not in that looper.
    BMessenger(const BHandler* handler, const BLooper* looper = nullptr,
               status_t* result = nullptr);
    BMessenger(const BMessenger& other);
    BMessenger& operator=(const BMessenger& other);
    ~BMessenger();

    // Target
    bool IsValid() const; // the looper accepts messages: it has not begun to quit
    // How many messages wait in the looper's queue (0 once it has gone): a kit addition, so
    // a thread feeding a looper can hold back while it is far behind.
    int32 CountQueuedMessages() const;
    bool IsTargetLocal() const { return true; }
    // The handler given at construction (nullptr for the preferred handler) and, in
    // *looper, the looper; both nullptr once the looper is gone. Read-only information:
    // lock the target before touching them.
    BHandler* Target(BLooper** looper) const;
    // Fail (false / B_BAD_VALUE) once the looper's loop has ended, whether or not it was
    // deleted.
    bool LockTarget() const;
    status_t LockTargetWithTimeout(bigtime_t timeout) const;

    // Sending: the message is copied. B_BAD_PORT_ID when the looper is gone or quitting (from
    // the moment Quit() is called, also from the looper's own thread).
    // replyTo and timeout are accepted for compatibility and unused (queues are unbounded).
    status_t SendMessage(uint32 command, BHandler* replyTo = nullptr) const;
    status_t SendMessage(const BMessage* message, BHandler* replyTo = nullptr,
                         bigtime_t timeout = B_INFINITE_TIMEOUT) const;
    // The message's fields are taken rather than copied, leaving it empty: for a message
    // passed on as it came.
    status_t SendMessage(BMessage&& message) const;

    bool operator==(const BMessenger& other) const;
    bool operator!=(const BMessenger& other) const { return !(*this == other); }

    // For messages: the looper id and handler token, and back.
    void GetIds(int32* looperId, int32* token) const;
    static BMessenger FromIds(int32 looperId, int32 token);

private:
    std::shared_ptr<kit_private::LooperPort> fPort;
    int32 fToken;
    BHandler* fHandler;
};
