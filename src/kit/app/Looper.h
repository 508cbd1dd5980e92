#pragma once

// A message loop on its own thread: a FIFO queue, a recursive lock and a set of handlers.
//
// Threads. Run() starts the looper's thread (named after the looper). The thread takes the
// lock for each message and handles it in DispatchMessage, so handlers never run
// concurrently with another thread that holds the lock. Messages are handled one at a time,
// in the order they were posted (one queue per looper, whatever thread posted).
//
// Locking. Lock() waits and may be taken again by the thread holding it (each Lock needs an
// Unlock). LockWithTimeout(0) fails at once when another thread holds the lock. A new looper
// is locked by the thread that constructs it, until Run() (so its constructor may add
// handlers); Run() releases that lock. Lock waits wake on a stop request of the waiting
// thread (OS.h) and fail.
//
// Quitting. B_QUIT_REQUESTED posted to the looper calls QuitRequested() and, when it returns
// true, Quit(). Quit() must be called with the looper locked (it locks it if not):
//   - on the looper's own thread (in a handler) it returns; the loop ends after the current
//     message, and the looper is deleted on its thread;
//   - on another thread it releases that thread's hold on the lock, waits until the looper's
//     thread has ended and deleted the looper, and returns; the caller must not touch the
//     looper afterwards;
//   - before Run() it deletes the looper at once (a looper kept after its loop, such as the
//     application, stays, but as one whose loop has ended).
// Messages still queued when the loop ends are deleted unhandled.
//
// From Quit() on, PostMessage and BMessenger::SendMessage fail (B_BAD_PORT_ID), also from the
// looper's own handlers. Once the loop has ended, Lock, LockWithTimeout and
// BMessenger::LockTarget(WithTimeout) fail (false / B_BAD_VALUE), whether the looper was
// deleted or kept (the application after Run()); only the looper's thread, which holds the
// lock while the loop ends, may take it again. Called directly on the looper pointer these
// check a registry of live loopers before reading the object, so they fail the same way; but
// calling a member function through a dangling pointer is still undefined behaviour that
// sanitizers report: keep a BMessenger to address a looper that may quit first.

#include <Handler.h>
#include <List.h>
#include <OS.h>
#include <SupportDefs.h>

#include <atomic>
#include <memory>
#include <unordered_map>
#include <vector>

class BMessage;
class BMessageFilter;

namespace kit_private {
struct LooperPort;
}

class BLooper : public BHandler
{
public:
    explicit BLooper(const char* name = nullptr, int32 priority = B_NORMAL_PRIORITY,
                     int32 portCapacity = 200);
    // Only for a looper that never ran, or on the looper's own thread; use Quit() otherwise.
    virtual ~BLooper();

    // Message transmission (any thread; the message is copied and the call returns at once).
    // PostMessage(message) targets the looper itself; with a handler argument, that handler
    // (which must belong to this looper: B_MISMATCHED_VALUES otherwise) or, for nullptr, the
    // preferred handler. B_BAD_PORT_ID once Quit() was called or the looper is gone.
    status_t PostMessage(uint32 command);
    status_t PostMessage(BMessage* message);
    status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = nullptr);
    status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = nullptr);

    // Message handling (looper thread, lock held)
    // Handles B_QUIT_REQUESTED for the looper itself and hands everything else to
    // handler->MessageReceived().
    virtual void DispatchMessage(BMessage* message, BHandler* handler);
    void MessageReceived(BMessage* message) override;
    // The message being dispatched (nullptr outside DispatchMessage).
    BMessage* CurrentMessage() const;
    // Takes ownership of the current message away from the loop.
    BMessage* DetachCurrentMessage();
    // Messages waiting in the queue (a snapshot).
    int32 CountQueuedMessages() const;

    // Handlers (lock held)
    void AddHandler(BHandler* handler);
    bool RemoveHandler(BHandler* handler);
    int32 CountHandlers() const;
    BHandler* HandlerAt(int32 index) const;
    int32 IndexOf(BHandler* handler) const;
    BHandler* PreferredHandler() const;
    void SetPreferredHandler(BHandler* handler);

    // Loop control
    virtual thread_id Run();
    virtual void Quit();
    virtual bool QuitRequested(); // default: true
    thread_id Thread() const;     // -1 before Run()
    // The looper running on that thread, or nullptr.
    static BLooper* LooperForThread(thread_id thread);

    // Locking (fails once the loop has ended)
    bool Lock();
    void Unlock();
    status_t LockWithTimeout(bigtime_t timeout); // B_OK, B_TIMED_OUT, B_BAD_VALUE, B_INTERRUPTED
    bool IsLocked() const;                       // by the calling thread
    thread_id LockingThread() const;             // -1 when unlocked
    int32 CountLocks() const;                    // levels held by the locking thread

    // Common filters: run on every message before the target's own filters (owned, lock held)
    virtual void AddCommonFilter(BMessageFilter* filter);
    virtual bool RemoveCommonFilter(BMessageFilter* filter);
    virtual void SetCommonFilterList(BList* filters);
    BList* CommonFilterList() const;

protected:
    // Loopers that outlive their loop (the application) call this in their constructor.
    void SetDeleteOnQuit(bool deleteOnQuit);
    // Called on the looper's thread once its loop ended, with the lock held, before the
    // looper is deleted (or, without delete-on-quit, before the thread ends).
    virtual void LoopEnded();
    // Called on the looper's thread after each message, whether it was dispatched or a
    // filter skipped it, before it is deleted.
    virtual void MessageHandled(BMessage* message);
    // For subclasses that keep a separate registry flag (windows).
    std::shared_ptr<kit_private::LooperPort> Port() const;

private:
    static int32 LooperMain(void* looper);
    void Loop();
    void EndLoop();
    BHandler* ResolveTarget(BMessage* message) const;
    bool RunFilters(BList* filters, BMessage* message, BHandler** target);
    void DeleteFilters(BList* filters);

    std::shared_ptr<kit_private::LooperPort> fPort;
    int32 fPriority;
    std::atomic<thread_id> fThread;
    std::atomic<bool> fTerminating;
    bool fDeleteOnQuit;
    BMessage* fCurrentMessage;
    BHandler* fPreferred;
    std::vector<BHandler*> fHandlers;
    std::unordered_map<int32, BHandler*> fHandlersByToken;
    BList* fCommonFilters;
};
