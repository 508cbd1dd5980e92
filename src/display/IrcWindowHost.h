#pragma once

#include <memory>
#include <vector>

class IrcConversationList;
class IrcDisplayWindow;
class IrcWindowInfo;

// What a conversation window needs of the main view that made it: the control panel's tabs
// and the list of servers. The main view implements it; tests may record it.
//
// Threads: every method may be called from any window's thread, with that window locked.
// Nothing here waits for another window's lock; changes are posted.
class IrcWindowHost
{
public:
    virtual ~IrcWindowHost() = default;

    // Control panel tabs, one per visible conversation, found by window (not by label, so
    // two servers' windows of the same name keep their own tabs).
    virtual void AddTab(const std::shared_ptr<IrcWindowInfo>& window, const char* label) = 0;
    virtual void RemoveTab(const IrcWindowInfo* window) = 0;
    virtual void SetTabLabel(const IrcWindowInfo* window, const char* label) = 0;
    virtual void SelectTab(const IrcWindowInfo* window) = 0;

    // Servers, in connect order
    virtual std::vector<std::shared_ptr<IrcConversationList>> ServerList() const = 0;
    // A server window that closed; the main view forgets it and its session.
    virtual void RemoveServer(const IrcWindowInfo* serverWindow) = 0;
};
