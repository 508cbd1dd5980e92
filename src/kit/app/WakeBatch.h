#pragma once

// Posting in bursts.
//
// While a BWakeBatch lives on a thread (batches nest), the messages that thread posts are
// queued at once, as always, but a looper asleep on its empty queue is woken only after every
// few posts, when the outermost batch ends, on Flush(), or when the posting thread is about
// to wait in the kit itself (a looper's queue or lock, snooze, wait_for_thread, an alert, a
// pop-up menu). A reader of buffered input, or a looper working through a full queue, then
// wakes a sleeping receiver once per burst rather than once per message, and the two threads
// stop trading the processor for every line.
//
// A looper's own thread runs its loop inside a batch. Code that makes a looper thread wait
// by other means (a socket, a lock of its own) on something a receiver must answer calls
// Flush() first.

class BWakeBatch
{
public:
    BWakeBatch();
    ~BWakeBatch();
    BWakeBatch(const BWakeBatch&) = delete;
    BWakeBatch& operator=(const BWakeBatch&) = delete;

    // Wakes every looper the calling thread has posted to and not yet woken.
    static void Flush();
};
