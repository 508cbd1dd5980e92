#pragma once

// An object that receives messages on its looper's thread.
//
// A handler belongs to at most one looper (BLooper::AddHandler); its looper's lock guards
// it. Messages reach it in MessageReceived, called by BLooper::DispatchMessage on the
// looper's thread with the looper locked. Filters added to a handler run before it sees a
// message and are owned (deleted) by it.

#include <Archivable.h>
#include <SupportDefs.h>

#include <atomic>
#include <string>

class BList;
class BLooper;
class BMessage;
class BMessageFilter;

class BHandler : public BArchivable
{
public:
    explicit BHandler(const char* name = nullptr);
    explicit BHandler(BMessage* archive); // name from the "_name" field
    virtual ~BHandler();                  // removes itself from its looper (which must be locked)

    // Archiving
    static BArchivable* Instantiate(BMessage* archive);
    status_t Archive(BMessage* into, bool deep = true) const override; // adds "_name"

    // Message handling. The default passes the message to NextHandler(), if any.
    virtual void MessageReceived(BMessage* message);

    // Looper. Looper() may be read from any thread; it changes only under the looper's lock.
    BLooper* Looper() const;
    // Lock the looper this handler belongs to, checking it still belongs to it once locked.
    bool LockLooper();
    status_t LockLooperWithTimeout(bigtime_t timeout);
    void UnlockLooper();

    // Name
    void SetName(const char* name);
    const char* Name() const; // nullptr when unnamed

    // Chain of responsibility: AddHandler makes the looper the next handler.
    virtual void SetNextHandler(BHandler* handler);
    BHandler* NextHandler() const;

    // Filters (owned by the handler; the looper must be locked when it has one)
    virtual void AddFilter(BMessageFilter* filter);
    virtual bool RemoveFilter(BMessageFilter* filter); // gives ownership back to the caller
    virtual void SetFilterList(BList* filters);        // deletes the old filters; takes the list
    BList* FilterList();

private:
    friend class BLooper;
    friend class BMessenger;

    std::string fName;
    bool fHasName;
    std::atomic<BLooper*> fLooper;
    BHandler* fNextHandler;
    BList* fFilters;
    int32 fToken;
};
