#include "IrcRouter.h"

#include "DisplayMessages.h"
#include "IrcDisplayWindow.h"
#include "IrcWindowInfo.h"

#include <IRC.h>
#include <Message.h>
#include <SessionMessages.h>

#include <algorithm>
#include <cstring>
#include <string>

IrcRouter::IrcRouter(IrcWindowHost* host) : fHost(host) {}

std::shared_ptr<IrcConversationList> IrcRouter::Connect(const std::shared_ptr<IRC>& session,
                                                        const char* host, const char* time,
                                                        const char* date)
{
    IrcDisplayWindow* window = IrcDisplayWindow::OpenServer(session, host, fHost, time, date);
    // The list is taken before the threads start: a failed connect may close the window.
    std::shared_ptr<IrcConversationList> list = window->Conversations();
    {
        std::lock_guard guard(fLock);
        fRecords.push_back({session.get(), session, list});
    }
    // Read by the session's reader, which starts with the threads below.
    std::weak_ptr<IrcConversationList> conversations = list;
    session->SetBacklog([conversations] {
        std::shared_ptr<IrcConversationList> windows = conversations.lock();
        if (windows == nullptr)
            return 0;
        int32 most = windows->Server()->Messenger().CountQueuedMessages();
        for (const auto& conversation : windows->Windows())
            most = std::max(most, conversation->Messenger().CountQueuedMessages());
        return most;
    });
    if (window->Lock()) {
        window->StartThreads();
        window->Unlock();
    }
    return list;
}

void IrcRouter::RemoveServer(const IrcWindowInfo* serverWindow)
{
    std::lock_guard guard(fLock);
    std::erase_if(fRecords, [serverWindow](const Record& r) {
        return r.list->Server().get() == serverWindow;
    });
}

std::vector<std::shared_ptr<IrcConversationList>> IrcRouter::ServerList() const
{
    std::lock_guard guard(fLock);
    std::vector<std::shared_ptr<IrcConversationList>> lists;
    for (const Record& record : fRecords)
        lists.push_back(record.list);
    return lists;
}

std::shared_ptr<IrcConversationList> IrcRouter::Find(const void* session,
                                                     std::shared_ptr<IRC>* owner) const
{
    std::lock_guard guard(fLock);
    for (const Record& record : fRecords) {
        if (record.session == session) {
            if (owner != nullptr)
                *owner = record.owner.lock();
            return record.list;
        }
    }
    return nullptr;
}

std::shared_ptr<IrcConversationList> IrcRouter::FindTarget(BMessage* message, const char** channel,
                                                           std::shared_ptr<IRC>* owner) const
{
    void* session = nullptr;
    if (message->FindPointer("IRC", &session) != B_OK ||
        message->FindString("Channel", channel) != B_OK)
        return nullptr;
    return Find(session, owner);
}

bool IrcRouter::Route(BMessage* message)
{
    switch (message->what) {
    case MSG_IRC_EVENT:
        RouteEvent(message);
        return true;
    case MSG_RAW_LINE:
        RouteRawLine(message);
        return true;
    case MSG_OPEN_WINDOW:
        OpenWindow(message);
        return true;
    default:
        return false;
    }
}

void IrcRouter::RouteEvent(BMessage* message)
{
    const char* channel = nullptr;
    std::shared_ptr<IRC> owner;
    std::shared_ptr<IrcConversationList> list = FindTarget(message, &channel, &owner);
    if (list == nullptr)
        return;
    // The user's own JOIN adds no row: the channel's name list brings the own nick.
    std::string ownNick = owner != nullptr ? owner->Nick() : "";

    const bool active = strcmp(channel, kActiveChannel) == 0;
    const bool everyChannel = strcmp(channel, kAllChannels) == 0;
    const char* nick = nullptr;
    if (everyChannel && message->FindString("Nick", &nick) != B_OK)
        return;
    // Each window's members are tracked before the message is passed on: a receiver gets a
    // copy once another one is found, and the last takes the message itself.
    std::shared_ptr<IrcWindowInfo> last;
    for (auto& window : list->Windows()) {
        bool post;
        if (active)
            post = window->IsActive();
        else if (everyChannel)
            post = window->Kind() == IrcDisplayWindow::kChannelWindow ? window->HasNick(nick)
                                                                      : window->NameEquals(nick);
        else
            post = window->NameIs(channel);
        if (post) {
            if (window->Kind() == IrcDisplayWindow::kChannelWindow)
                TrackMembers(*window, message, ownNick.c_str());
            if (last != nullptr)
                last->Post(message);
            last = std::move(window);
        }
    }
    if (active && last == nullptr)
        last = list->Server();
    if (last != nullptr)
        last->Post(std::move(*message));
}

void IrcRouter::TrackMembers(IrcWindowInfo& window, BMessage* message, const char* ownNick)
{
    int32 type = -1;
    if (message->FindInt32("type", &type) != B_OK)
        return;
    const char* nick = "";
    message->FindString("Nick", &nick);
    switch (type) {
    case 1: // QUIT
    case 2: // PART
        window.RemoveNick(nick);
        break;
    case 3: { // KICK: the victim is the first word
        const char* data = "";
        message->FindString("Data", &data);
        const char* blank = strchr(data, ' ');
        window.RemoveNick(
            std::string(data, blank != nullptr ? blank - data : strlen(data)).c_str());
        break;
    }
    case 4: // JOIN
        if (strcmp(nick, ownNick) != 0)
            window.AddNick(nick);
        break;
    case 7: { // a name list, "@" and "+" marking operators and voice
        const char* names = "";
        message->FindString("List", &names);
        for (const char* at = names; *at != '\0';) {
            while (*at == ' ')
                at++;
            const char* end = strchr(at, ' ');
            std::string name(at, end != nullptr ? end - at : strlen(at));
            at += name.size();
            size_t skip = 0;
            if (skip < name.size() && name[skip] == '@')
                skip++;
            if (skip < name.size() && name[skip] == '+')
                skip++;
            if (skip < name.size())
                window.AddNick(name.c_str() + skip);
        }
        break;
    }
    case 11: { // NICK
        const char* newNick = "";
        message->FindString("NewNick", &newNick);
        window.RenameNick(nick, newNick);
        break;
    }
    default:
        break;
    }
}

void IrcRouter::RouteRawLine(BMessage* message)
{
    void* server = nullptr;
    if (message->FindPointer("Server", &server) != B_OK)
        return;
    std::lock_guard guard(fLock);
    for (const Record& record : fRecords) {
        if (record.list->Server()->Window() == server) {
            record.list->Server()->Post(message);
            return;
        }
    }
}

void IrcRouter::OpenWindow(BMessage* message)
{
    const char* channel = nullptr;
    std::shared_ptr<IRC> owner;
    std::shared_ptr<IrcConversationList> list = FindTarget(message, &channel, &owner);
    if (owner == nullptr || list == nullptr || list->Server()->IsClosed())
        return;
    if (std::shared_ptr<IrcWindowInfo> found = list->Find(channel)) {
        if (channel[0] == '#')
            found->Post(MSG_ACTIVATE);
        return;
    }
    IrcDisplayWindow::OpenConversation(owner, channel, fHost, list);
}

void IrcRouter::PostClock(const char* time, const char* date) const
{
    BMessage clock(MSG_UPDATE_STATS);
    clock.AddString("Time", time);
    clock.AddString("Date", date);
    for (const auto& list : ServerList())
        list->Server()->Post(&clock);
}

void IrcRouter::QuitAll(const char* quitMessage) const
{
    BMessage quit(MSG_QUIT_MESSAGE);
    quit.AddString("Message", quitMessage != nullptr ? quitMessage : "");
    for (const auto& list : ServerList())
        list->Server()->Post(&quit);
}

bool IrcRouter::WaitForWindows(bigtime_t timeout) const
{
    const bigtime_t end = system_time() + timeout;
    // Taken once: a server window that closes removes itself from the records.
    std::vector<std::shared_ptr<IrcWindowInfo>> windows;
    for (const auto& list : ServerList()) {
        windows.push_back(list->Server());
        for (const auto& window : list->Windows())
            windows.push_back(window);
    }
    for (;;) {
        bool open = false;
        for (const auto& window : windows)
            open |= window->Messenger().IsValid();
        if (!open)
            break;
        if (system_time() >= end)
            return false;
        snooze(10000);
    }
    // A window is gone once its thread has deleted it.
    for (const auto& window : windows) {
        status_t result;
        if (window->Thread() >= 0)
            wait_for_thread(window->Thread(), &result);
    }
    return true;
}
