#pragma once

// The kit's bookkeeping for one thread: shared by the thread itself (through a thread-local
// reference), the table of threads and any waiter. Internal to the kernel part of the kit.

#include <OS.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sys/types.h>

namespace kit_private {

struct ThreadRecord
{
    enum State
    {
        kCreated,
        kRunning,
        kExited
    };

    thread_id id = -1;
    char name[B_OS_NAME_LENGTH] = {};
    int32 priority = B_NORMAL_PRIORITY;
    thread_func func = nullptr;
    void* data = nullptr;
    bool foreign = false;      // not spawned by the kit (main thread, std::thread)
    std::atomic<pid_t> tid{0}; // the kernel's id, once the thread runs

    // Guarded by mutex: state, resumed, named, exitValue. cond wakes the start gate, the
    // creator waiting for the name, snooze and wait_for_thread.
    std::mutex mutex;
    std::condition_variable cond;
    State state = kCreated;
    bool resumed = false;
    bool named = false; // the thread has taken its name and priority
    status_t exitValue = B_OK;

    std::atomic<bool> stopRequested{false};

    // The wait the thread is in (StopAwareWait), guarded by waitGuard; and the stop eventfd.
    std::mutex waitGuard;
    std::mutex* waitMutex = nullptr;
    std::condition_variable* waitCond = nullptr;
    int stopFd = -1;

    ~ThreadRecord();
};

// The calling thread's record (created for foreign threads on first use).
ThreadRecord* current_thread_record();

} // namespace kit_private
