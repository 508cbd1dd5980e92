#include "Invoker.h"

#include <Message.h>

BInvoker::BInvoker() : fMessage(nullptr), fReplyTo(nullptr) {}

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper)
    : fMessage(message), fReplyTo(nullptr)
{
    if (handler != nullptr || looper != nullptr)
        SetTarget(handler, looper);
}

BInvoker::BInvoker(BMessage* message, BMessenger target)
    : fMessage(message), fMessenger(target), fReplyTo(nullptr)
{
}

BInvoker::~BInvoker()
{
    delete fMessage;
}

status_t BInvoker::SetMessage(BMessage* message)
{
    if (message != fMessage)
        delete fMessage;
    fMessage = message;
    return B_OK;
}

BMessage* BInvoker::Message() const
{
    return fMessage;
}

uint32 BInvoker::Command() const
{
    return fMessage != nullptr ? fMessage->what : 0;
}

status_t BInvoker::SetTarget(const BHandler* handler, const BLooper* looper)
{
    status_t status;
    fMessenger = BMessenger(handler, looper, &status);
    return status;
}

status_t BInvoker::SetTarget(BMessenger messenger)
{
    fMessenger = messenger;
    return B_OK;
}

bool BInvoker::IsTargetLocal() const
{
    return true;
}

BHandler* BInvoker::Target(BLooper** looper) const
{
    return fMessenger.Target(looper);
}

BMessenger BInvoker::Messenger() const
{
    return fMessenger;
}

status_t BInvoker::SetHandlerForReply(BHandler* handler)
{
    fReplyTo = handler;
    return B_OK;
}

BHandler* BInvoker::HandlerForReply() const
{
    return fReplyTo;
}

status_t BInvoker::Invoke(BMessage* message)
{
    if (message == nullptr)
        message = fMessage;
    if (message == nullptr)
        return B_BAD_VALUE;
    return fMessenger.SendMessage(message, fReplyTo);
}
