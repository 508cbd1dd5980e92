#include "Messenger.h"

#include "../private/LooperPort.h"
#include "../private/Tokens.h"

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

using kit_private::LooperPort;

BMessenger::BMessenger() : fToken(kit_private::kPreferredToken), fHandler(nullptr) {}

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result)
    : fToken(kit_private::kPreferredToken), fHandler(nullptr)
{
    status_t status = B_OK;
    if (handler != nullptr) {
        BLooper* owner = handler->Looper();
        if (owner == nullptr || (looper != nullptr && looper != owner)) {
            status = B_MISMATCHED_VALUES;
        } else {
            fPort = kit_private::port_of(owner);
            fHandler = const_cast<BHandler*>(handler);
            fToken = handler == owner ? kit_private::kLooperToken : handler->fToken;
        }
    } else if (looper != nullptr) {
        fPort = kit_private::port_of(looper);
    } else {
        status = B_BAD_VALUE;
    }
    if (status == B_OK && !fPort)
        status = B_BAD_VALUE;
    if (status != B_OK) {
        fPort.reset();
        fHandler = nullptr;
    }
    if (result != nullptr)
        *result = status;
}

BMessenger::BMessenger(const BMessenger& other) = default;
BMessenger& BMessenger::operator=(const BMessenger& other) = default;
BMessenger::~BMessenger() = default;

bool BMessenger::IsValid() const
{
    return fPort && !fPort->IsClosed();
}

int32 BMessenger::CountQueuedMessages() const
{
    return fPort ? fPort->Count() : 0;
}

BHandler* BMessenger::Target(BLooper** looper) const
{
    bool live = fPort && !fPort->IsDead();
    if (looper != nullptr)
        *looper = live ? fPort->looper : nullptr;
    return live ? fHandler : nullptr;
}

bool BMessenger::LockTarget() const
{
    return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
    if (!fPort)
        return B_BAD_VALUE;
    return fPort->Lock(timeout);
}

status_t BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
    BMessage message(command);
    return SendMessage(&message, replyTo);
}

status_t BMessenger::SendMessage(const BMessage* message, BHandler*, bigtime_t) const
{
    if (message == nullptr)
        return B_BAD_VALUE;
    if (!fPort)
        return B_BAD_PORT_ID;
    BMessage* copy = new BMessage(*message);
    copy->fTargetToken = fToken;
    return fPort->Push(copy);
}

status_t BMessenger::SendMessage(BMessage&& message) const
{
    if (!fPort)
        return B_BAD_PORT_ID;
    BMessage* taken = new BMessage(std::move(message));
    taken->fTargetToken = fToken;
    return fPort->Push(taken);
}

bool BMessenger::operator==(const BMessenger& other) const
{
    return fPort == other.fPort && fToken == other.fToken;
}

void BMessenger::GetIds(int32* looperId, int32* token) const
{
    *looperId = fPort ? fPort->id : -1;
    *token = fToken;
}

BMessenger BMessenger::FromIds(int32 looperId, int32 token)
{
    BMessenger messenger;
    messenger.fPort = kit_private::port_by_id(looperId);
    messenger.fToken = token;
    return messenger;
}
