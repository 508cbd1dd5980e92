#include "KitTestUtil.h"

#include <chrono>

namespace kittest {

bool WaitUntil(const std::function<bool()>& predicate, bigtime_t timeout)
{
    bigtime_t deadline = system_time() + timeout;
    while (!predicate()) {
        if (system_time() > deadline)
            return false;
        snooze(1000);
    }
    return true;
}

RecordingLooper::RecordingLooper(const char* name) : BLooper(name) {}

RecordingLooper::~RecordingLooper()
{
    if (deleted != nullptr)
        *deleted = true;
    if (deletedOn != nullptr)
        *deletedOn = find_thread(nullptr);
}

void RecordingLooper::MessageReceived(BMessage* message)
{
    bool locked = IsLocked();
    {
        std::lock_guard lock(fMutex);
        fMessages.push_back(*message);
        fAllLocked = fAllLocked && locked;
    }
    fCond.notify_all();
}

size_t RecordingLooper::Count() const
{
    std::lock_guard lock(fMutex);
    return fMessages.size();
}

std::vector<BMessage> RecordingLooper::Messages() const
{
    std::lock_guard lock(fMutex);
    return fMessages;
}

bool RecordingLooper::WaitForCount(size_t count, bigtime_t timeout) const
{
    std::unique_lock lock(fMutex);
    return fCond.wait_for(lock, std::chrono::microseconds(timeout),
                          [&] { return fMessages.size() >= count; });
}

bool RecordingLooper::AllHandledLocked() const
{
    std::lock_guard lock(fMutex);
    return fAllLocked;
}

} // namespace kittest
