#pragma once

#include <SupportDefs.h>

#include <memory>
#include <mutex>
#include <vector>

class BMessage;
class IRC;
class IrcConversationList;
class IrcWindowHost;
class IrcWindowInfo;

// Routes the messages sessions send to the main view: events ('Amsh') to the conversation
// windows they concern, raw lines ('Amsg') to their server window, and open-window requests
// ('Amsl') to an existing window or a new one. Keeps one record per session.
//
// Threads: Route and the server bookkeeping run on the main view's thread; ServerList may be
// called from any thread. Windows are reached only by posting to them (their infos).
class IrcRouter
{
public:
    explicit IrcRouter(IrcWindowHost* host);

    // Sessions
    // Connects: a server window for the session (with the clock texts), recorded, its
    // threads started. Returns the server's conversation list.
    std::shared_ptr<IrcConversationList> Connect(const std::shared_ptr<IRC>& session,
                                                 const char* host, const char* time,
                                                 const char* date);
    void RemoveServer(const IrcWindowInfo* serverWindow);
    std::vector<std::shared_ptr<IrcConversationList>> ServerList() const;
    // The session's conversation list, or nullptr (identity only; never dereferenced), and
    // the session itself while it lives.
    std::shared_ptr<IrcConversationList> Find(const void* session,
                                              std::shared_ptr<IRC>* owner = nullptr) const;

    // Routing. true when the message was one of the three codes (handled or dropped); an
    // event's last receiver may have taken its fields, so it is not read afterwards.
    bool Route(BMessage* message);

    // Every server window: the clock texts, then its status line.
    void PostClock(const char* time, const char* date) const;
    // Application quit: every server window stops watching activation, takes the quit
    // message and closes with its conversations.
    void QuitAll(const char* quitMessage) const;
    // Waits until every server window and conversation has closed; false on time-out.
    bool WaitForWindows(bigtime_t timeout) const;

private:
    struct Record
    {
        const void* session; // identity only
        std::weak_ptr<IRC> owner;
        std::shared_ptr<IrcConversationList> list;
    };

    // The conversation list of the message's "IRC" session, with its "Channel"; nullptr
    // when either is missing or the session is not recorded.
    std::shared_ptr<IrcConversationList> FindTarget(BMessage* message, const char** channel,
                                                    std::shared_ptr<IRC>* owner) const;
    void RouteEvent(BMessage* message);
    // Keeps the window's nick set in routing order, so an event is routed by the members
    // the events before it left, whether or not the window has shown them yet.
    static void TrackMembers(IrcWindowInfo& window, BMessage* message, const char* ownNick);
    void RouteRawLine(BMessage* message);
    void OpenWindow(BMessage* message);

    IrcWindowHost* fHost;
    mutable std::mutex fLock; // fRecords
    std::vector<Record> fRecords;
};
