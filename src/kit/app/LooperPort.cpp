// The shared queue and lock of a looper, and the registry of live loopers.

#include "../private/LooperPort.h"

#include "../private/StopAwareWait.h"
#include "../private/WakeBatch.h"

#include <Message.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <shared_mutex>
#include <unordered_map>

namespace kit_private {

namespace {

std::atomic<int32> sNextPortId{1};

struct Registry
{
    std::shared_mutex mutex;
    std::unordered_map<const BLooper*, std::shared_ptr<LooperPort>> byAddress;
    std::unordered_map<int32, std::shared_ptr<LooperPort>> byId;
};

Registry& registry()
{
    static Registry* sRegistry = new Registry; // never destroyed: loopers may outlive statics
    return *sRegistry;
}

} // namespace

LooperPort::LooperPort(BLooper* owner) : id(sNextPortId++), looper(owner) {}

LooperPort::~LooperPort()
{
    for (BMessage* message : fQueue)
        delete message;
}

status_t LooperPort::Push(BMessage* message)
{
    {
        std::lock_guard lock(fQueueMutex);
        // Refused from Quit() on: queued messages would be dropped unhandled anyway, and a
        // failure is something the sender can act on.
        if (!fClosed && !fQuitWake) {
            fQueue.push_back(message);
            message = nullptr;
        }
    }
    if (message != nullptr) {
        delete message;
        return B_BAD_PORT_ID;
    }
    if (!hold_wake(*this))
        fQueueCond.notify_one();
    return B_OK;
}

void LooperPort::Wake()
{
    fQueueCond.notify_one();
}

BMessage* LooperPort::Pop()
{
    {
        std::lock_guard lock(fQueueMutex);
        if (fQuitWake || fClosed)
            return nullptr;
        if (!fQueue.empty()) {
            BMessage* message = fQueue.front();
            fQueue.pop_front();
            return message;
        }
    }
    StopAwareWait stop(fQueueMutex, fQueueCond);
    std::unique_lock lock(fQueueMutex);
    while (fQueue.empty() && !fQuitWake && !fClosed) {
        if (stop.Requested())
            return nullptr;
        fQueueCond.wait(lock);
    }
    if (fQuitWake || fClosed)
        return nullptr;
    BMessage* message = fQueue.front();
    fQueue.pop_front();
    return message;
}

void LooperPort::WakeForQuit()
{
    {
        std::lock_guard lock(fQueueMutex);
        fQuitWake = true;
    }
    fQueueCond.notify_all();
}

void LooperPort::Close()
{
    std::deque<BMessage*> dropped;
    {
        std::lock_guard lock(fQueueMutex);
        fClosed = true;
        dropped.swap(fQueue);
    }
    fQueueCond.notify_all();
    for (BMessage* message : dropped)
        delete message;
}

bool LooperPort::IsClosed() const
{
    std::lock_guard lock(fQueueMutex);
    return fClosed || fQuitWake;
}

int32 LooperPort::Count() const
{
    std::lock_guard lock(fQueueMutex);
    return static_cast<int32>(fQueue.size());
}

status_t LooperPort::Lock(bigtime_t timeout, bool interruptible)
{
    thread_id me = find_thread(nullptr);
    {
        std::lock_guard lock(fLockMutex);
        if (fDead)
            return B_BAD_VALUE;
        if (fOwner == me) {
            fCount++;
            return B_OK;
        }
        if (fEnded)
            return B_BAD_VALUE;
        if (fCount == 0) {
            fOwner = me;
            fCount = 1;
            return B_OK;
        }
        if (timeout <= 0)
            return B_TIMED_OUT;
    }

    bigtime_t deadline = timeout >= B_INFINITE_TIMEOUT - system_time() ? B_INFINITE_TIMEOUT
                                                                       : system_time() + timeout;
    StopAwareWait stop(fLockMutex, fLockCond);
    std::unique_lock lock(fLockMutex);
    struct Waiting
    {
        int32& count;
        explicit Waiting(int32& waiters) : count(waiters) { count++; }
        ~Waiting() { count--; }
    } waiting(fLockWaiters);
    while (!fDead && !fEnded && fCount != 0) {
        if (interruptible && stop.Requested())
            return B_INTERRUPTED;
        if (deadline == B_INFINITE_TIMEOUT) {
            fLockCond.wait(lock);
            continue;
        }
        bigtime_t left = deadline - system_time();
        if (left <= 0)
            return B_TIMED_OUT;
        fLockCond.wait_for(lock, std::chrono::microseconds(left));
    }
    if (fDead || fEnded)
        return B_BAD_VALUE;
    fOwner = me;
    fCount = 1;
    return B_OK;
}

void LooperPort::Unlock()
{
    thread_id me = find_thread(nullptr);
    {
        std::lock_guard lock(fLockMutex);
        if (fOwner != me || fCount == 0)
            return;
        if (--fCount > 0)
            return;
        fOwner = -1;
        if (fLockWaiters == 0)
            return;
    }
    fLockCond.notify_all();
}

int32 LooperPort::UnlockAll()
{
    thread_id me = find_thread(nullptr);
    int32 released;
    {
        std::lock_guard lock(fLockMutex);
        if (fOwner != me)
            return 0;
        released = fCount;
        fCount = 0;
        fOwner = -1;
        if (fLockWaiters == 0)
            return released;
    }
    fLockCond.notify_all();
    return released;
}

bool LooperPort::IsLockedByCaller() const
{
    thread_id me = find_thread(nullptr);
    std::lock_guard lock(fLockMutex);
    return fOwner == me && fCount > 0;
}

thread_id LooperPort::Owner() const
{
    std::lock_guard lock(fLockMutex);
    return fOwner;
}

int32 LooperPort::CountLocks() const
{
    std::lock_guard lock(fLockMutex);
    return fCount;
}

void LooperPort::MarkEnded()
{
    {
        std::lock_guard lock(fLockMutex);
        fEnded = true;
    }
    fLockCond.notify_all();
}

void LooperPort::MarkDead()
{
    {
        std::lock_guard lock(fLockMutex);
        fDead = true;
        fOwner = -1;
        fCount = 0;
    }
    fLockCond.notify_all();
}

bool LooperPort::IsDead() const
{
    std::lock_guard lock(fLockMutex);
    return fDead;
}

void register_looper(const BLooper* looper, std::shared_ptr<LooperPort> port)
{
    Registry& r = registry();
    std::unique_lock lock(r.mutex);
    r.byId[port->id] = port;
    r.byAddress[looper] = std::move(port);
}

void unregister_looper(const BLooper* looper)
{
    Registry& r = registry();
    std::unique_lock lock(r.mutex);
    auto it = r.byAddress.find(looper);
    if (it == r.byAddress.end())
        return;
    r.byId.erase(it->second->id);
    r.byAddress.erase(it);
}

std::shared_ptr<LooperPort> port_of(const BLooper* looper)
{
    Registry& r = registry();
    std::shared_lock lock(r.mutex);
    auto it = r.byAddress.find(looper);
    return it == r.byAddress.end() ? nullptr : it->second;
}

std::shared_ptr<LooperPort> port_by_id(int32 id)
{
    Registry& r = registry();
    std::shared_lock lock(r.mutex);
    auto it = r.byId.find(id);
    return it == r.byId.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<LooperPort>> live_ports()
{
    Registry& r = registry();
    std::shared_lock lock(r.mutex);
    std::vector<std::shared_ptr<LooperPort>> ports;
    ports.reserve(r.byId.size());
    for (auto& [id, port] : r.byId)
        ports.push_back(port);
    lock.unlock();
    std::sort(ports.begin(), ports.end(), [](auto& a, auto& b) { return a->id < b->id; });
    return ports;
}

} // namespace kit_private
