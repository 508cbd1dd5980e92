#include "TabRequestQueue.h"

#include "AppMessages.h"

#include <IrcWindowInfo.h>

void TabRequestQueue::SetTarget(const BMessenger& panel)
{
    std::lock_guard guard(fLock);
    fTarget = panel;
    fHasTarget = true;
    if (!fPending.empty() && fTarget.SendMessage(MSG_TAB_REQUESTS) != B_OK)
        fPending.clear();
}

void TabRequestQueue::Push(Request request)
{
    std::lock_guard guard(fLock);
    fPending.push_back(std::move(request));
    // Before the panel runs the request waits; once the panel has quit nobody will take it,
    // and the tabs it would keep alive must not pile up.
    if (fHasTarget && fTarget.SendMessage(MSG_TAB_REQUESTS) != B_OK)
        fPending.clear();
}

std::vector<TabRequestQueue::Request> TabRequestQueue::Take()
{
    std::lock_guard guard(fLock);
    std::vector<Request> taken;
    taken.swap(fPending);
    return taken;
}

size_t TabRequestQueue::CountPending() const
{
    std::lock_guard guard(fLock);
    return fPending.size();
}
