#pragma once

// How the kit's own waits wake on a stop request (see kill_thread in OS.h).
//
// A wait registers its mutex and condition variable with the calling thread for as long as
// the StopAwareWait lives; a stop request then locks that mutex, notifies the variable and so
// wakes the wait without a lost wake-up. The StopAwareWait must be constructed BEFORE the
// unique_lock on the same mutex (so it is destroyed after the lock is released): the
// requester takes the registration guard and then the mutex, so the waiter must never hold
// the mutex while it (un)registers.
//
//     StopAwareWait stop(fMutex, fCond);
//     std::unique_lock lock(fMutex);
//     while (!ready) {
//         if (stop.Requested()) return B_INTERRUPTED;
//         fCond.wait(lock);
//     }

#include <condition_variable>
#include <memory>
#include <mutex>

namespace kit_private {

struct ThreadRecord;

class StopAwareWait
{
public:
    StopAwareWait(std::mutex& mutex, std::condition_variable& cond);
    ~StopAwareWait();
    StopAwareWait(const StopAwareWait&) = delete;
    StopAwareWait& operator=(const StopAwareWait&) = delete;

    // True once a stop was requested for the calling thread.
    bool Requested() const;

private:
    ThreadRecord* fRecord;
    std::mutex* fPreviousMutex;
    std::condition_variable* fPreviousCond;
};

} // namespace kit_private
