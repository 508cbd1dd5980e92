#pragma once

#include <Messenger.h>
#include <OS.h>
#include <SupportDefs.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

class BMessage;
class IrcDisplayWindow;

// What other threads may know of a conversation window without locking it: its kind and
// name, whether it is active or connected, whether a nick is in its user list, and a
// messenger to post to it. Shared by the window, its server's conversation list, the main
// view and the control panel; it outlives the window, so a thread that routes or refreshes
// never touches a window that has closed.
//
// Threads: every method may be called from any thread. The window keeps it current from its
// own thread.
class IrcWindowInfo
{
public:
    IrcWindowInfo(IrcDisplayWindow* window, int32 kind, const char* name);

    // Identity. Dereference the window only on its own thread.
    IrcDisplayWindow* Window() const { return fWindow; }
    int32 Kind() const { return fKind; }

    // Posting (fails once the window has quit)
    void SetMessenger(const BMessenger& messenger, thread_id thread); // once the window runs
    BMessenger Messenger() const;
    // The window's thread, which ends once the window is deleted.
    thread_id Thread() const;
    status_t Post(BMessage* message) const;  // copied
    status_t Post(BMessage&& message) const; // taken
    status_t Post(uint32 command) const;

    // Name: channel, peer nick or server host
    std::string Name() const;
    bool NameIs(const char* name) const;     // ignoring ASCII case
    bool NameEquals(const char* name) const; // exactly
    void SetName(const char* name);

    // State
    bool IsActive() const { return fActive.load(); }
    void SetActive(bool active) { fActive.store(active); }
    bool IsConnected() const { return fConnected.load(); }
    void SetConnected(bool connected) { fConnected.store(connected); }
    // Closing: the first of the threads that would close the window claims it.
    bool IsClosed() const { return fClosed.load(); }
    bool ClaimClose() { return !fClosed.exchange(true); }

    // The nicks of the user list, compared exactly. Kept by the router as it routes the
    // membership events, so routing never waits for the window to have handled them.
    bool HasNick(const char* nick) const;
    void AddNick(const char* nick);
    // The nick, or else one that differs only in ASCII case, as the list removes users.
    void RemoveNick(const char* nick);
    void RenameNick(const char* oldNick, const char* newNick);
    size_t CountNicks() const;

private:
    IrcDisplayWindow* const fWindow;
    const int32 fKind;
    mutable std::mutex fLock; // fMessenger, fName, fNicks
    BMessenger fMessenger;
    thread_id fThread = -1;
    std::string fName;
    std::unordered_set<std::string> fNicks;
    std::atomic<bool> fActive{false};
    std::atomic<bool> fConnected{false};
    std::atomic<bool> fClosed{false};
};

// The conversations of one server: its server window and its channel and private windows
// in the order they were opened. Shared by the server window, its conversations and the
// main view. Every method may be called from any thread; Windows() is a snapshot.
class IrcConversationList
{
public:
    explicit IrcConversationList(std::shared_ptr<IrcWindowInfo> server);

    const std::shared_ptr<IrcWindowInfo>& Server() const { return fServer; }

    void Add(std::shared_ptr<IrcWindowInfo> window);
    bool Remove(const IrcWindowInfo* window);
    std::vector<std::shared_ptr<IrcWindowInfo>> Windows() const;
    int32 CountItems() const;
    std::shared_ptr<IrcWindowInfo> ItemAt(int32 index) const; // nullptr past the end
    int32 IndexOf(const IrcWindowInfo* window) const;         // -1 when not listed
    // The first conversation with that name, ignoring case, or nullptr.
    std::shared_ptr<IrcWindowInfo> Find(const char* name) const;

    // The server's clock texts, for a conversation that opens between two ticks.
    void SetClock(const char* time, const char* date);
    void GetClock(std::string* time, std::string* date) const;

private:
    const std::shared_ptr<IrcWindowInfo> fServer;
    mutable std::mutex fLock;
    std::vector<std::shared_ptr<IrcWindowInfo>> fWindows;
    std::string fTime;
    std::string fDate;
};
