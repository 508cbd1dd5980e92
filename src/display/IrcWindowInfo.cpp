#include "IrcWindowInfo.h"

#include <Message.h>

#include <algorithm>
#include <strings.h>

IrcWindowInfo::IrcWindowInfo(IrcDisplayWindow* window, int32 kind, const char* name)
    : fWindow(window), fKind(kind), fName(name != nullptr ? name : "")
{
}

void IrcWindowInfo::SetMessenger(const BMessenger& messenger, thread_id thread)
{
    std::lock_guard guard(fLock);
    fMessenger = messenger;
    fThread = thread;
}

thread_id IrcWindowInfo::Thread() const
{
    std::lock_guard guard(fLock);
    return fThread;
}

BMessenger IrcWindowInfo::Messenger() const
{
    std::lock_guard guard(fLock);
    return fMessenger;
}

status_t IrcWindowInfo::Post(BMessage* message) const
{
    return Messenger().SendMessage(message);
}

status_t IrcWindowInfo::Post(BMessage&& message) const
{
    return Messenger().SendMessage(std::move(message));
}

status_t IrcWindowInfo::Post(uint32 command) const
{
    return Messenger().SendMessage(command);
}

std::string IrcWindowInfo::Name() const
{
    std::lock_guard guard(fLock);
    return fName;
}

bool IrcWindowInfo::NameIs(const char* name) const
{
    if (name == nullptr)
        return false;
    std::lock_guard guard(fLock);
    return strcasecmp(fName.c_str(), name) == 0;
}

bool IrcWindowInfo::NameEquals(const char* name) const
{
    if (name == nullptr)
        return false;
    std::lock_guard guard(fLock);
    return fName == name;
}

void IrcWindowInfo::SetName(const char* name)
{
    std::lock_guard guard(fLock);
    fName = name != nullptr ? name : "";
}

bool IrcWindowInfo::HasNick(const char* nick) const
{
    if (nick == nullptr)
        return false;
    std::lock_guard guard(fLock);
    return fNicks.count(nick) != 0;
}

void IrcWindowInfo::AddNick(const char* nick)
{
    std::lock_guard guard(fLock);
    fNicks.insert(nick);
}

void IrcWindowInfo::RemoveNick(const char* nick)
{
    if (nick == nullptr)
        return;
    std::lock_guard guard(fLock);
    if (fNicks.erase(nick) != 0)
        return;
    for (auto it = fNicks.begin(); it != fNicks.end(); ++it) {
        if (strcasecmp(it->c_str(), nick) == 0) {
            fNicks.erase(it);
            return;
        }
    }
}

void IrcWindowInfo::RenameNick(const char* oldNick, const char* newNick)
{
    if (oldNick == nullptr || newNick == nullptr)
        return;
    std::lock_guard guard(fLock);
    if (fNicks.erase(oldNick) != 0)
        fNicks.insert(newNick);
}

size_t IrcWindowInfo::CountNicks() const
{
    std::lock_guard guard(fLock);
    return fNicks.size();
}

IrcConversationList::IrcConversationList(std::shared_ptr<IrcWindowInfo> server)
    : fServer(std::move(server))
{
}

void IrcConversationList::Add(std::shared_ptr<IrcWindowInfo> window)
{
    std::lock_guard guard(fLock);
    fWindows.push_back(std::move(window));
}

bool IrcConversationList::Remove(const IrcWindowInfo* window)
{
    std::lock_guard guard(fLock);
    auto it = std::find_if(fWindows.begin(), fWindows.end(),
                           [window](const auto& entry) { return entry.get() == window; });
    if (it == fWindows.end())
        return false;
    fWindows.erase(it);
    return true;
}

std::vector<std::shared_ptr<IrcWindowInfo>> IrcConversationList::Windows() const
{
    std::lock_guard guard(fLock);
    return fWindows;
}

int32 IrcConversationList::CountItems() const
{
    std::lock_guard guard(fLock);
    return static_cast<int32>(fWindows.size());
}

std::shared_ptr<IrcWindowInfo> IrcConversationList::ItemAt(int32 index) const
{
    std::lock_guard guard(fLock);
    if (index < 0 || index >= static_cast<int32>(fWindows.size()))
        return nullptr;
    return fWindows[index];
}

int32 IrcConversationList::IndexOf(const IrcWindowInfo* window) const
{
    std::lock_guard guard(fLock);
    for (size_t i = 0; i < fWindows.size(); i++) {
        if (fWindows[i].get() == window)
            return static_cast<int32>(i);
    }
    return -1;
}

std::shared_ptr<IrcWindowInfo> IrcConversationList::Find(const char* name) const
{
    for (const auto& window : Windows()) {
        if (window->NameIs(name))
            return window;
    }
    return nullptr;
}

void IrcConversationList::SetClock(const char* time, const char* date)
{
    std::lock_guard guard(fLock);
    fTime = time != nullptr ? time : "";
    fDate = date != nullptr ? date : "";
}

void IrcConversationList::GetClock(std::string* time, std::string* date) const
{
    std::lock_guard guard(fLock);
    *time = fTime;
    *date = fDate;
}
