#pragma once

#include <Messenger.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class IrcWindowInfo;

// The control panel's tab changes as other threads ask for them. A conversation window must
// never wait for the panel's lock from its own thread, so it queues the change here and the
// panel carries it out on its thread. Shared by the main view and the panel; a request made
// after the panel has gone is dropped.
//
// Threads: every method may be called from any thread.
class TabRequestQueue
{
public:
    enum Kind
    {
        kAdd,
        kRemove,
        kRelabel,
        kSelect
    };

    struct Request
    {
        Kind kind;
        // The window the tab stands for; tabs are found by this identity, never by label.
        const IrcWindowInfo* key;
        std::shared_ptr<IrcWindowInfo> window; // kAdd only: the tab keeps it
        std::string label;                     // kAdd and kRelabel
    };

    // The panel, once it runs. Requests queued before are delivered then.
    void SetTarget(const BMessenger& panel);

    // Queues the request and wakes the panel.
    void Push(Request request);
    // The requests queued so far, oldest first (the panel's thread).
    std::vector<Request> Take();
    size_t CountPending() const;

private:
    mutable std::mutex fLock; // everything below
    BMessenger fTarget;
    bool fHasTarget = false;
    std::vector<Request> fPending;
};
