#pragma once

// Something that sends one message to one target: Invoke() posts a copy of its message (or
// of the message given) to the target's looper.
//
// Not thread-safe: set the message and target before other threads call Invoke().

#include <Messenger.h>
#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;

class BInvoker
{
public:
    BInvoker();
    // Takes ownership of message; targets as BMessenger(handler, looper) does.
    BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = nullptr);
    BInvoker(BMessage* message, BMessenger target);
    virtual ~BInvoker(); // deletes the message

    // Message (owned)
    virtual status_t SetMessage(BMessage* message); // deletes the previous one
    BMessage* Message() const;
    uint32 Command() const; // 0 without a message

    // Target. B_OK, or the messenger's error (the target is then invalid).
    virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
    virtual status_t SetTarget(BMessenger messenger);
    bool IsTargetLocal() const;
    BHandler* Target(BLooper** looper = nullptr) const;
    BMessenger Messenger() const;

    // Accepted for compatibility; replies are not used.
    virtual status_t SetHandlerForReply(BHandler* handler);
    BHandler* HandlerForReply() const;

    // Posts a copy of message, or of Message() when message is nullptr. B_BAD_VALUE without a
    // message; B_BAD_PORT_ID when the target is invalid or gone.
    virtual status_t Invoke(BMessage* message = nullptr);

private:
    BMessage* fMessage;
    BMessenger fMessenger;
    BHandler* fReplyTo;
};
