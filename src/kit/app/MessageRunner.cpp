// BMessageRunner on one shared timer thread.

#include "MessageRunner.h"

#include <Message.h>
#include <OS.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace {

struct Schedule
{
    struct Entry
    {
        BMessenger target;
        BMessage message;
        bigtime_t interval;
        int32 count; // posts left; < 0 for ever
        bigtime_t next;
    };

    std::mutex mutex;
    std::condition_variable cond;
    std::map<int32, Entry> entries;
    int32 nextId = 1;
    bool started = false;

    void Start()
    {
        if (started)
            return;
        started = true;
        std::thread([this] { Loop(); }).detach();
    }

    void Loop()
    {
        pthread_setname_np(pthread_self(), "message_runner");
        std::unique_lock lock(mutex);
        while (true) {
            bigtime_t now = system_time();
            bigtime_t earliest = B_INFINITE_TIMEOUT;
            for (auto it = entries.begin(); it != entries.end();) {
                Entry& entry = it->second;
                if (entry.next <= now) {
                    // Posting under the schedule's lock is what lets the destructor promise
                    // that nothing is posted after it returns.
                    entry.target.SendMessage(&entry.message);
                    entry.next = now + entry.interval;
                    if (entry.count > 0 && --entry.count == 0) {
                        it = entries.erase(it);
                        continue;
                    }
                }
                if (entry.next < earliest)
                    earliest = entry.next;
                ++it;
            }
            if (earliest == B_INFINITE_TIMEOUT)
                cond.wait(lock);
            else
                cond.wait_for(lock, std::chrono::microseconds(earliest - now));
        }
    }
};

Schedule& schedule()
{
    static Schedule* sSchedule = new Schedule; // the timer thread outlives static destruction
    return *sSchedule;
}

int32 add_entry(BMessenger target, const BMessage* message, bigtime_t interval, int32 count)
{
    Schedule& s = schedule();
    std::lock_guard lock(s.mutex);
    s.Start();
    int32 id = s.nextId++;
    s.entries.emplace(id,
                      Schedule::Entry{target, *message, interval, count, system_time() + interval});
    s.cond.notify_all();
    return id;
}

} // namespace

BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval,
                               int32 count)
    : fId(-1), fStatus(B_BAD_VALUE)
{
    if (message == nullptr || interval <= 0 || count == 0 || !target.IsValid())
        return;
    fId = add_entry(target, message, interval, count);
    fStatus = B_OK;
}

BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval,
                               int32 count, BMessenger)
    : BMessageRunner(target, message, interval, count)
{
}

BMessageRunner::~BMessageRunner()
{
    if (fId < 0)
        return;
    Schedule& s = schedule();
    std::lock_guard lock(s.mutex);
    s.entries.erase(fId);
}

status_t BMessageRunner::InitCheck() const
{
    return fStatus;
}

status_t BMessageRunner::SetInterval(bigtime_t interval)
{
    if (fId < 0 || interval <= 0)
        return B_BAD_VALUE;
    Schedule& s = schedule();
    std::lock_guard lock(s.mutex);
    auto it = s.entries.find(fId);
    if (it == s.entries.end())
        return B_BAD_VALUE;
    it->second.interval = interval;
    it->second.next = system_time() + interval;
    s.cond.notify_all();
    return B_OK;
}

status_t BMessageRunner::SetCount(int32 count)
{
    if (fId < 0 || count == 0)
        return B_BAD_VALUE;
    Schedule& s = schedule();
    std::lock_guard lock(s.mutex);
    auto it = s.entries.find(fId);
    if (it == s.entries.end())
        return B_BAD_VALUE;
    it->second.count = count;
    return B_OK;
}

status_t BMessageRunner::GetInfo(bigtime_t* interval, int32* count) const
{
    if (fId < 0)
        return B_BAD_VALUE;
    Schedule& s = schedule();
    std::lock_guard lock(s.mutex);
    auto it = s.entries.find(fId);
    if (it == s.entries.end())
        return B_BAD_VALUE;
    if (interval != nullptr)
        *interval = it->second.interval;
    if (count != nullptr)
        *count = it->second.count;
    return B_OK;
}

status_t BMessageRunner::StartSending(BMessenger target, const BMessage* message,
                                      bigtime_t interval, int32 count)
{
    if (message == nullptr || interval <= 0 || count <= 0 || !target.IsValid())
        return B_BAD_VALUE;
    add_entry(target, message, interval, count);
    return B_OK;
}
