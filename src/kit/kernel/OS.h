#pragma once

// Threads and time.
//
// Threads are named (the name shows in `top -H`, cut to 15 bytes) and start suspended:
// spawn_thread creates the thread, resume_thread lets its function run.
//
// Stopping is cooperative. kill_thread and suspend_thread do not tear a thread down wherever
// it is; they *request a stop*, which is final, and:
//   - wake the thread at once if it is in snooze() or any of the kit's waits (a looper's queue,
//     Lock/LockWithTimeout, wait_for_thread, BAlert::Go); those calls then return
//     B_INTERRUPTED (Lock() returns false), and keep doing so at once for the rest of the
//     thread's life;
//   - make thread_stop_requested() true for that thread;
//   - make the thread's thread_stop_fd() readable, so code waiting in poll()/select() on a
//     socket can watch it too and return.
// A thread body therefore looks like:
//     while (!thread_stop_requested()) {
//         poll({socket, thread_stop_fd()}, ...);   // or snooze(...) != B_OK -> return
//         ...
//     }
// A thread that was never resumed and is stopped never runs its function.
// Blocking calls the kit cannot interrupt (host look-up, a plain blocking read) delay the end
// until they return.

#include <SupportDefs.h>

typedef int32 thread_id;
typedef int32 team_id;
typedef int32 (*thread_func)(void* data);

#define B_OS_NAME_LENGTH 32
#define B_INFINITE_TIMEOUT (INT64_MAX)

enum
{
    B_IDLE_PRIORITY = 0,
    B_LOWEST_ACTIVE_PRIORITY = 1,
    B_LOW_PRIORITY = 5,
    B_NORMAL_PRIORITY = 10,
    B_DISPLAY_PRIORITY = 15,
    B_URGENT_DISPLAY_PRIORITY = 20,
    B_REAL_TIME_DISPLAY_PRIORITY = 100,
    B_URGENT_PRIORITY = 110,
    B_REAL_TIME_PRIORITY = 120,
};

// Creating and controlling threads

// Creates a suspended thread that will run func(data). The name is kept whole (up to
// B_OS_NAME_LENGTH - 1 bytes) for find_thread; the system sees its first 15 bytes.
// Priorities below B_NORMAL_PRIORITY lower the thread's nice value by the difference;
// higher ones run as normal. Returns the new id (> 0) or B_NO_MORE_THREADS / B_BAD_VALUE.
thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data);
// Lets a spawned thread run. B_BAD_THREAD_ID when unknown or ended; B_BAD_THREAD_STATE when
// it already runs; B_NOT_ALLOWED when a stop was requested after it had started.
status_t resume_thread(thread_id thread);
// Both request the cooperative stop described above. B_BAD_THREAD_ID when unknown or ended.
status_t kill_thread(thread_id thread);
status_t suspend_thread(thread_id thread);
// Waits until the thread's function has returned and stores its result in *exitValue (when
// given). Resumes a thread that was never resumed, as the waiter evidently wants it to run.
// B_BAD_THREAD_ID when unknown (or already collected by another wait); B_INTERRUPTED when
// the *waiting* thread is asked to stop; B_NOT_ALLOWED for the calling thread itself.
status_t wait_for_thread(thread_id thread, status_t* exitValue);
// The calling thread's id (name == nullptr) or the first live thread with that name;
// B_NAME_NOT_FOUND when none. Threads the kit did not spawn get an id on first use.
thread_id find_thread(const char* name);

// Stop requests, for the calling thread

bool thread_stop_requested();
// An eventfd that becomes readable (and stays so) once a stop is requested for the calling
// thread. Owned by the kit; valid until the thread ends; never read or close it.
int thread_stop_fd();

// Time

// Sleeps for the given time. B_OK when it elapsed; B_INTERRUPTED at once when the calling
// thread is (or gets) asked to stop.
status_t snooze(bigtime_t microseconds);
// Like snooze, until the monotonic time `until` (system_time() units).
status_t snooze_until(bigtime_t until);
// Microseconds on the monotonic clock.
bigtime_t system_time();
