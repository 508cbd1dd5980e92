#pragma once

// A window's change stream: the commands its views and the window itself append (on the
// window's thread, window locked), and the snapshots the display server writes back (mouse,
// scroll positions).
//
// Locking. One small mutex guards the queue and the snapshots; it is never held while
// calling out, and never together with a window lock, so the GUI thread can always drain
// and never waits for a window thread.
//
// Coalescing, so a flood stays cheap to apply:
//   - a setter (frame, colours, label, selection, menu tree, ...) replaces a pending setter
//     of the same kind for the same view and moves to the end of the queue;
//   - text appended right after a pending insert (or replacement) of the same view joins
//     it, also across link commands in between (links only name earlier text);
//   - replacing a view's whole text or list drops its pending text or row commands.

#include "ViewChange.h"

#include <Point.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace kit_private {

struct MouseSnapshot
{
    BPoint where;  // in the window's coordinates
    BPoint screen; // on the screen
    uint32 buttons = 0;
    uint32 modifiers = 0;
};

class ChangeStream
{
public:
    explicit ChangeStream(int32 looperId);

    int32 LooperId() const { return fLooperId; }

    // Window side
    void Push(int32 token, ChangePayload&& payload);

    // Server side
    // Called (outside the stream's lock, on the pushing thread) when the stream goes from
    // nothing pending to something pending. Set once, before the first Push.
    void SetWakeHandler(std::function<void()> wake);
    // A server that drains by itself before it looks at what was pushed may ask to be woken
    // only once that many commands are pending, or for a command the window then waits on (a
    // pop-up menu, a key answer, the window's quit). 0, the default, wakes on the first.
    void SetWakeThreshold(size_t pending);
    // Everything pending, in order; the next Push wakes the server again, unless the server
    // keeps the wake, promising to drain again by itself (a server pacing a busy stream);
    // it then gives the wake back with ReleaseWake.
    std::vector<Change> Drain(bool keepWake = false);
    // The same, appended to *into: a server that drains often keeps one vector for it.
    void Drain(std::vector<Change>* into, bool keepWake = false);
    // Gives a kept wake back when nothing is pending (true); false when changes came, which
    // the server must drain as promised.
    bool ReleaseWake();
    bool HasPending() const;

    // Snapshots, written by the server, read by the window thread
    void SetMouse(const MouseSnapshot& mouse);
    MouseSnapshot Mouse() const;
    void SetScroll(int32 barToken, float value, float maximum);
    // false when the server never reported that scroll bar.
    bool GetScroll(int32 barToken, float* value, float* maximum) const;
    // How many times the user scrolled a view (counted by the server).
    void SetUserScrolls(int32 viewToken, uint32 count);
    uint32 UserScrolls(int32 viewToken) const;
    // At most one B_MOUSE_MOVED waits in the window's queue at a time: the server sets this
    // when it posts one, the window clears it when it handles it.
    std::atomic<bool> mouseMovedPending{false};

private:
    struct Entry
    {
        Change change;
        bool dead;
    };
    // The bookkeeping below is per view and per drain. A window has a bounded set of views,
    // so entries stay in their maps across drains and count as empty once fDrains has moved
    // on: a stream drained after every command allocates nothing for it.
    struct SetterState
    {
        size_t pending = 0; // index of the pending setter
        uint64 drain = 0;
    };
    struct TextState
    {
        int64_t lastInsert = -1;      // index of the pending insert (or set) text can join
        std::vector<size_t> commands; // pending text commands of the view
        uint64 drain = 0;
    };
    struct RowState
    {
        std::vector<size_t> commands; // pending row commands of the view
        uint64 drain = 0;
    };

    void _Kill(size_t index);
    bool _JoinInsert(int32 token, change::TextInsert& insert);
    // The view's state for the commands pending now, or nullptr when it has none.
    TextState* _PendingText(int32 token);

    const int32 fLooperId;
    mutable std::mutex fLock;
    std::vector<Entry> fPending;
    uint64 fDrains = 1;
    std::unordered_map<uint64, SetterState> fSetters;
    std::unordered_map<int32, TextState> fText;
    std::unordered_map<int32, RowState> fRows;
    bool fWakeRequested = false;
    size_t fWakeThreshold = 0;
    std::function<void()> fWake;

    MouseSnapshot fMouse;
    std::unordered_map<int32, std::pair<float, float>> fScroll;
    std::unordered_map<int32, uint32> fUserScrolls;
};

} // namespace kit_private
