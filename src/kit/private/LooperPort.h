#pragma once

// The part of a looper that may outlive it: its queue, its lock and its liveness. Loopers,
// messengers and the registry share it, so posting to or locking a looper that has gone
// touches only this and fails cleanly.

#include <OS.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class BLooper;
class BMessage;

namespace kit_private {

struct LooperPort : std::enable_shared_from_this<LooperPort>
{
    explicit LooperPort(BLooper* owner);
    ~LooperPort(); // deletes queued messages

    // Queue
    // Takes ownership; B_BAD_PORT_ID (message deleted) once quitting or closed. The looper is
    // woken at once unless the calling thread batches its wakes (BWakeBatch).
    status_t Push(BMessage* message);
    // Wakes the looper's thread if it waits for a message.
    void Wake();
    // Next message for the looper thread; nullptr once woken for quitting, closed, or when
    // the thread is asked to stop.
    BMessage* Pop();
    // Makes Pop() return nullptr and Push() fail from now on (the looper is quitting).
    void WakeForQuit();
    // Refuses further messages and deletes the queued ones.
    void Close();
    // Quitting or closed: messages are refused.
    bool IsClosed() const;
    int32 Count() const;

    // Lock (recursive, owned by a thread)
    // B_OK; B_TIMED_OUT; B_BAD_VALUE when the loop has ended or the looper is gone (only the
    // thread still holding the lock may take it again); B_INTERRUPTED on a stop request when
    // interruptible.
    status_t Lock(bigtime_t timeout, bool interruptible = true);
    void Unlock();
    // Releases every level the calling thread holds; returns how many.
    int32 UnlockAll();
    bool IsLockedByCaller() const;
    thread_id Owner() const;
    int32 CountLocks() const;
    // The loop has ended (the looper may be kept, as the application is): lock waiters and
    // new lockers fail; the thread holding the lock keeps it until it releases it.
    void MarkEnded();
    // The looper is being deleted: lock waiters fail; the caller (holding the lock) gives it
    // up.
    void MarkDead();
    bool IsDead() const;

    const int32 id;
    // Valid while !IsDead(); read it only with the lock held.
    BLooper* const looper;
    // Set by the window constructor.
    std::atomic<bool> isWindow{false};
    // The looper's thread, once it runs.
    std::atomic<thread_id> thread{-1};

private:
    mutable std::mutex fQueueMutex;
    std::condition_variable fQueueCond;
    std::deque<BMessage*> fQueue;
    bool fClosed = false;
    bool fQuitWake = false;

    mutable std::mutex fLockMutex;
    std::condition_variable fLockCond;
    thread_id fOwner = -1;
    int32 fCount = 0;
    int32 fLockWaiters = 0; // threads waiting in Lock: an unlock with none wakes no one
    bool fEnded = false;
    bool fDead = false;
};

// Registry of live loopers, by address and by id.
void register_looper(const BLooper* looper, std::shared_ptr<LooperPort> port);
void unregister_looper(const BLooper* looper);
std::shared_ptr<LooperPort> port_of(const BLooper* looper);
std::shared_ptr<LooperPort> port_by_id(int32 id);
std::vector<std::shared_ptr<LooperPort>> live_ports();

} // namespace kit_private
