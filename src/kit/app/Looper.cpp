// BLooper: queue, lock, loop and quitting (see Looper.h for the contracts).

#include "Looper.h"

#include "../private/LooperPort.h"
#include "../private/Tokens.h"

#include <Message.h>
#include <MessageFilter.h>
#include <WakeBatch.h>

#include <algorithm>
#include <cstdio>

using kit_private::LooperPort;

BLooper::BLooper(const char* name, int32 priority, int32 /*portCapacity*/)
    : BHandler(name), fPort(std::make_shared<LooperPort>(this)), fPriority(priority), fThread(-1),
      fTerminating(false), fDeleteOnQuit(true), fCurrentMessage(nullptr), fPreferred(nullptr),
      fCommonFilters(nullptr)
{
    // Locked by the constructing thread until Run(), so constructors may add handlers.
    fPort->Lock(B_INFINITE_TIMEOUT, false);
    kit_private::register_looper(this, fPort);
    AddHandler(this);
}

BLooper::~BLooper()
{
    kit_private::unregister_looper(this);
    fPort->Close();
    DeleteFilters(fCommonFilters);
    fCommonFilters = nullptr;
    for (BHandler* handler : fHandlers) {
        handler->fLooper.store(nullptr);
        if (handler->fNextHandler == this)
            handler->fNextHandler = nullptr;
    }
    fHandlers.clear();
    fHandlersByToken.clear();
    fPort->MarkDead();
}

// Message transmission

status_t BLooper::PostMessage(uint32 command)
{
    BMessage message(command);
    return PostMessage(&message);
}

status_t BLooper::PostMessage(BMessage* message)
{
    std::shared_ptr<LooperPort> port = kit_private::port_of(this);
    if (!port)
        return B_BAD_PORT_ID;
    if (message == nullptr)
        return B_BAD_VALUE;
    BMessage* copy = new BMessage(*message);
    copy->fTargetToken = kit_private::kLooperToken;
    return port->Push(copy);
}

status_t BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
    BMessage message(command);
    return PostMessage(&message, handler, replyTo);
}

status_t BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* /*replyTo*/)
{
    std::shared_ptr<LooperPort> port = kit_private::port_of(this);
    if (!port)
        return B_BAD_PORT_ID;
    if (message == nullptr)
        return B_BAD_VALUE;
    int32 token = kit_private::kPreferredToken;
    if (handler != nullptr) {
        if (handler->Looper() != this)
            return B_MISMATCHED_VALUES;
        token = handler == this ? kit_private::kLooperToken : handler->fToken;
    }
    BMessage* copy = new BMessage(*message);
    copy->fTargetToken = token;
    return port->Push(copy);
}

// Message handling

void BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
    if (message->what == B_QUIT_REQUESTED && handler == this) {
        if (QuitRequested())
            Quit();
        return;
    }
    handler->MessageReceived(message);
}

void BLooper::MessageReceived(BMessage* message)
{
    BHandler::MessageReceived(message);
}

BMessage* BLooper::CurrentMessage() const
{
    return fCurrentMessage;
}

BMessage* BLooper::DetachCurrentMessage()
{
    BMessage* message = fCurrentMessage;
    fCurrentMessage = nullptr;
    return message;
}

int32 BLooper::CountQueuedMessages() const
{
    return fPort->Count();
}

// Handlers

void BLooper::AddHandler(BHandler* handler)
{
    if (handler == nullptr || handler->Looper() == this)
        return;
    if (handler->Looper() != nullptr) {
        fprintf(stderr, "BLooper::AddHandler: handler already belongs to a looper\n");
        return;
    }
    handler->fLooper.store(this);
    if (handler != this && handler->fNextHandler == nullptr)
        handler->fNextHandler = this;
    fHandlers.push_back(handler);
    fHandlersByToken[handler->fToken] = handler;
}

bool BLooper::RemoveHandler(BHandler* handler)
{
    if (handler == nullptr || handler == this || handler->Looper() != this)
        return false;
    fHandlers.erase(std::find(fHandlers.begin(), fHandlers.end(), handler));
    fHandlersByToken.erase(handler->fToken);
    handler->fLooper.store(nullptr);
    if (handler->fNextHandler == this)
        handler->fNextHandler = nullptr;
    if (fPreferred == handler)
        fPreferred = nullptr;
    return true;
}

int32 BLooper::CountHandlers() const
{
    return static_cast<int32>(fHandlers.size());
}

BHandler* BLooper::HandlerAt(int32 index) const
{
    if (index < 0 || index >= CountHandlers())
        return nullptr;
    return fHandlers[static_cast<size_t>(index)];
}

int32 BLooper::IndexOf(BHandler* handler) const
{
    auto it = std::find(fHandlers.begin(), fHandlers.end(), handler);
    return it == fHandlers.end() ? -1 : static_cast<int32>(it - fHandlers.begin());
}

BHandler* BLooper::PreferredHandler() const
{
    return fPreferred;
}

void BLooper::SetPreferredHandler(BHandler* handler)
{
    fPreferred = (handler != nullptr && handler->Looper() == this) ? handler : nullptr;
}

// Loop control

thread_id BLooper::Run()
{
    if (fThread >= 0) {
        fprintf(stderr, "BLooper::Run: already running\n");
        return B_BAD_THREAD_STATE;
    }
    thread_id thread = spawn_thread(LooperMain, Name() ? Name() : "looper", fPriority, this);
    if (thread < 0)
        return thread;
    fThread = thread;
    fPort->thread.store(thread);
    // Give up the constructor's lock (the looper thread needs it for every message).
    if (fPort->IsLockedByCaller())
        fPort->Unlock();
    resume_thread(thread);
    return thread;
}

void BLooper::Quit()
{
    if (!fPort->IsLockedByCaller() && !Lock())
        return;
    fTerminating.store(true);
    if (fThread < 0) {
        // Never ran: nothing else can be inside the object.
        fPort->Close();
        fPort->MarkEnded();
        LoopEnded();
        if (fDeleteOnQuit)
            delete this;
        else
            fPort->UnlockAll();
        return;
    }
    if (find_thread(nullptr) == fThread) {
        fPort->WakeForQuit(); // the loop ends when the current message returns
        return;
    }
    thread_id thread = fThread;
    std::shared_ptr<LooperPort> port = fPort;
    port->WakeForQuit();
    port->UnlockAll();
    wait_for_thread(thread, nullptr);
}

bool BLooper::QuitRequested()
{
    return true;
}

thread_id BLooper::Thread() const
{
    return fThread;
}

BLooper* BLooper::LooperForThread(thread_id thread)
{
    for (auto& port : kit_private::live_ports()) {
        if (port->thread.load() == thread && !port->IsDead())
            return port->looper;
    }
    return nullptr;
}

int32 BLooper::LooperMain(void* looper)
{
    static_cast<BLooper*>(looper)->Loop();
    return B_OK;
}

BHandler* BLooper::ResolveTarget(BMessage* message) const
{
    int32 token = message->fTargetToken;
    if (token == kit_private::kLooperToken)
        return const_cast<BLooper*>(this);
    if (token == kit_private::kPreferredToken) {
        // A quit request is the looper's, whichever handler has the focus.
        if (fPreferred != nullptr && message->what != B_QUIT_REQUESTED)
            return fPreferred;
        return const_cast<BLooper*>(this);
    }
    auto it = fHandlersByToken.find(token);
    return it == fHandlersByToken.end() ? nullptr : it->second;
}

bool BLooper::RunFilters(BList* filters, BMessage* message, BHandler** target)
{
    if (filters == nullptr)
        return true;
    for (int32 i = 0; i < filters->CountItems(); i++) {
        auto* filter = static_cast<BMessageFilter*>(filters->ItemAt(i));
        if (filter->Apply(message, target) == B_SKIP_MESSAGE)
            return false;
        if (*target == nullptr || (*target)->Looper() != this)
            return false;
    }
    return true;
}

void BLooper::Loop()
{
    std::shared_ptr<LooperPort> port = fPort;
    // What a message's handlers post wakes its receivers once the queue runs dry (Pop waits)
    // or every few posts, not once per post.
    BWakeBatch batch;
    // A quit is seen by Pop, never by testing fTerminating here: a thread that quits between
    // the unlock below and such a test would leave the loop ending without the lock.
    for (;;) {
        BMessage* message = port->Pop();
        if (message == nullptr) {
            port->Lock(B_INFINITE_TIMEOUT, false);
            break;
        }
        port->Lock(B_INFINITE_TIMEOUT, false);
        if (fTerminating.load()) {
            delete message;
            break;
        }
        fCurrentMessage = message;
        BHandler* target = ResolveTarget(message);
        if (target != nullptr && RunFilters(fCommonFilters, message, &target)) {
            // A filter may retarget; each new target's own filters then apply.
            BHandler* filtered = nullptr;
            while (target != nullptr && target != filtered) {
                filtered = target;
                if (!RunFilters(target->fFilters, message, &target)) {
                    target = nullptr;
                    break;
                }
            }
            if (target != nullptr)
                DispatchMessage(message, target);
        }
        MessageHandled(fCurrentMessage);
        delete fCurrentMessage;
        fCurrentMessage = nullptr;
        if (fTerminating.load())
            break;
        port->Unlock();
    }
    // The lock is held here.
    EndLoop();
}

void BLooper::EndLoop()
{
    fTerminating.store(true);
    std::shared_ptr<LooperPort> port = fPort;
    port->Close();
    // From here only this thread, which holds the lock, may lock the looper: a looper kept
    // after its loop (the application) must not be locked as if it still ran.
    port->MarkEnded();
    LoopEnded();
    if (fDeleteOnQuit) {
        delete this;
    } else {
        port->UnlockAll();
    }
}

void BLooper::LoopEnded() {}

void BLooper::MessageHandled(BMessage*) {}

void BLooper::SetDeleteOnQuit(bool deleteOnQuit)
{
    fDeleteOnQuit = deleteOnQuit;
}

std::shared_ptr<LooperPort> BLooper::Port() const
{
    return fPort;
}

// Locking

bool BLooper::Lock()
{
    std::shared_ptr<LooperPort> port = kit_private::port_of(this);
    return port && port->Lock(B_INFINITE_TIMEOUT) == B_OK;
}

void BLooper::Unlock()
{
    std::shared_ptr<LooperPort> port = kit_private::port_of(this);
    if (port)
        port->Unlock();
}

status_t BLooper::LockWithTimeout(bigtime_t timeout)
{
    std::shared_ptr<LooperPort> port = kit_private::port_of(this);
    if (!port)
        return B_BAD_VALUE;
    return port->Lock(timeout);
}

bool BLooper::IsLocked() const
{
    std::shared_ptr<LooperPort> port = kit_private::port_of(this);
    return port && port->IsLockedByCaller();
}

thread_id BLooper::LockingThread() const
{
    return fPort->Owner();
}

int32 BLooper::CountLocks() const
{
    return fPort->CountLocks();
}

// Common filters

void BLooper::AddCommonFilter(BMessageFilter* filter)
{
    if (filter == nullptr || filter->fOwner != nullptr)
        return;
    if (fCommonFilters == nullptr)
        fCommonFilters = new BList;
    filter->fOwner = this;
    fCommonFilters->AddItem(filter);
}

bool BLooper::RemoveCommonFilter(BMessageFilter* filter)
{
    if (fCommonFilters == nullptr || !fCommonFilters->RemoveItem(filter))
        return false;
    filter->fOwner = nullptr;
    return true;
}

void BLooper::SetCommonFilterList(BList* filters)
{
    DeleteFilters(fCommonFilters);
    fCommonFilters = filters;
    if (filters != nullptr) {
        for (int32 i = 0; i < filters->CountItems(); i++)
            static_cast<BMessageFilter*>(filters->ItemAt(i))->fOwner = this;
    }
}

BList* BLooper::CommonFilterList() const
{
    return fCommonFilters;
}

void BLooper::DeleteFilters(BList* filters)
{
    if (filters == nullptr)
        return;
    for (int32 i = 0; i < filters->CountItems(); i++)
        delete static_cast<BMessageFilter*>(filters->ItemAt(i));
    delete filters;
}
