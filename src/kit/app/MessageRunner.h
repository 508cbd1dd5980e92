#pragma once

// Posts a copy of a message to a target at a fixed interval, count times (or for ever with
// count < 0), until it is deleted. The first copy goes one interval after construction. Once
// the destructor has returned no further copy is posted. A late post is not made up for:
// the next one is one interval after the late one.
//
// All runners share one timer thread ("message_runner").

#include <Messenger.h>
#include <SupportDefs.h>

class BMessage;

class BMessageRunner
{
public:
    // The message is copied. InitCheck() is B_BAD_VALUE for an interval <= 0, no message or
    // an invalid target.
    BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval,
                   int32 count = -1);
    BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval, int32 count,
                   BMessenger replyTo);
    virtual ~BMessageRunner();
    BMessageRunner(const BMessageRunner&) = delete;
    BMessageRunner& operator=(const BMessageRunner&) = delete;

    status_t InitCheck() const;
    // Restart the schedule from now with the new interval (or the new count of posts left).
    status_t SetInterval(bigtime_t interval);
    status_t SetCount(int32 count);
    // B_BAD_VALUE once the runner has finished its count.
    status_t GetInfo(bigtime_t* interval, int32* count) const;

    // A runner that deletes itself after its count (count must be > 0).
    static status_t StartSending(BMessenger target, const BMessage* message, bigtime_t interval,
                                 int32 count);

private:
    int32 fId;
    status_t fStatus;
};
