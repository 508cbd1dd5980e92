#pragma once

// A filter that sees messages before their handler does, on the looper's thread.
//
// A filter applies when the message matches its delivery (dropped or programmed), its source
// (every message of this kit is local) and, unless it filters any command, its code. It then
// calls its hook function if it has one, otherwise Filter(); either may change the target
// handler and returns B_DISPATCH_MESSAGE to let the message go on or B_SKIP_MESSAGE to drop
// it. A filter belongs to one handler (AddFilter) or looper (AddCommonFilter), which deletes
// it.

#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;
class BMessageFilter;

enum filter_result
{
    B_SKIP_MESSAGE,
    B_DISPATCH_MESSAGE,
};

typedef filter_result (*filter_hook)(BMessage* message, BHandler** target, BMessageFilter* filter);

enum message_delivery
{
    B_ANY_DELIVERY,
    B_DROPPED_DELIVERY,
    B_PROGRAMMED_DELIVERY,
};

enum message_source
{
    B_ANY_SOURCE,
    B_REMOTE_SOURCE,
    B_LOCAL_SOURCE,
};

class BMessageFilter
{
public:
    explicit BMessageFilter(uint32 what, filter_hook func = nullptr);
    BMessageFilter(message_delivery delivery, message_source source, filter_hook func = nullptr);
    BMessageFilter(message_delivery delivery, message_source source, uint32 what,
                   filter_hook func = nullptr);
    BMessageFilter(const BMessageFilter& other);
    BMessageFilter& operator=(const BMessageFilter& other);
    virtual ~BMessageFilter();

    // Called for matching messages when there is no hook function.
    virtual filter_result Filter(BMessage* message, BHandler** target);

    // Matching
    message_delivery MessageDelivery() const;
    message_source MessageSource() const;
    uint32 Command() const;
    bool FiltersAnyCommand() const;
    filter_hook FilterFunction() const;

    // The looper of the handler (or the looper) the filter is attached to, or nullptr.
    BLooper* Looper() const;

    // For loopers: runs the filter on a message; the message is dispatched unless it returns
    // B_SKIP_MESSAGE.
    filter_result Apply(BMessage* message, BHandler** target);

private:
    friend class BHandler;
    friend class BLooper;

    bool Matches(const BMessage* message) const;

    message_delivery fDelivery;
    message_source fSource;
    uint32 fWhat;
    bool fAnyCommand;
    filter_hook fHook;
    BHandler* fOwner; // the handler or looper holding the filter
};
