#include "MessageFilter.h"

#include <Handler.h>
#include <Message.h>

BMessageFilter::BMessageFilter(uint32 what, filter_hook func)
    : fDelivery(B_ANY_DELIVERY), fSource(B_ANY_SOURCE), fWhat(what), fAnyCommand(false),
      fHook(func), fOwner(nullptr)
{
}

BMessageFilter::BMessageFilter(message_delivery delivery, message_source source, filter_hook func)
    : fDelivery(delivery), fSource(source), fWhat(0), fAnyCommand(true), fHook(func),
      fOwner(nullptr)
{
}

BMessageFilter::BMessageFilter(message_delivery delivery, message_source source, uint32 what,
                               filter_hook func)
    : fDelivery(delivery), fSource(source), fWhat(what), fAnyCommand(false), fHook(func),
      fOwner(nullptr)
{
}

BMessageFilter::BMessageFilter(const BMessageFilter& other)
    : fDelivery(other.fDelivery), fSource(other.fSource), fWhat(other.fWhat),
      fAnyCommand(other.fAnyCommand), fHook(other.fHook), fOwner(nullptr)
{
}

BMessageFilter& BMessageFilter::operator=(const BMessageFilter& other)
{
    fDelivery = other.fDelivery;
    fSource = other.fSource;
    fWhat = other.fWhat;
    fAnyCommand = other.fAnyCommand;
    fHook = other.fHook;
    return *this;
}

BMessageFilter::~BMessageFilter() = default;

filter_result BMessageFilter::Filter(BMessage*, BHandler**)
{
    return B_DISPATCH_MESSAGE;
}

message_delivery BMessageFilter::MessageDelivery() const
{
    return fDelivery;
}

message_source BMessageFilter::MessageSource() const
{
    return fSource;
}

uint32 BMessageFilter::Command() const
{
    return fWhat;
}

bool BMessageFilter::FiltersAnyCommand() const
{
    return fAnyCommand;
}

filter_hook BMessageFilter::FilterFunction() const
{
    return fHook;
}

BLooper* BMessageFilter::Looper() const
{
    return fOwner != nullptr ? fOwner->Looper() : nullptr;
}

bool BMessageFilter::Matches(const BMessage* message) const
{
    if (!fAnyCommand && message->what != fWhat)
        return false;
    if (fDelivery == B_DROPPED_DELIVERY && !message->WasDropped())
        return false;
    if (fDelivery == B_PROGRAMMED_DELIVERY && message->WasDropped())
        return false;
    // Every message of this kit comes from inside the process.
    return fSource != B_REMOTE_SOURCE;
}

filter_result BMessageFilter::Apply(BMessage* message, BHandler** target)
{
    if (!Matches(message))
        return B_DISPATCH_MESSAGE;
    return fHook != nullptr ? fHook(message, target, this) : Filter(message, target);
}
