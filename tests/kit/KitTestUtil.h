#pragma once

// Helpers for the kit's threaded tests: a looper that records what it handles, and waiting
// for a condition with a generous deadline (a hang becomes a failure, not a stuck test).

#include <Looper.h>
#include <Message.h>
#include <OS.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace kittest {

// Waits until predicate() holds, polling; false after timeout.
bool WaitUntil(const std::function<bool()>& predicate, bigtime_t timeout = 10000000);

// Records a copy of every message it handles (and whether its lock was held meanwhile).
class RecordingLooper : public BLooper
{
public:
    explicit RecordingLooper(const char* name = "recorder");
    ~RecordingLooper() override;

    void MessageReceived(BMessage* message) override;

    // Thread-safe views of what was handled.
    size_t Count() const;
    std::vector<BMessage> Messages() const;
    bool WaitForCount(size_t count, bigtime_t timeout = 10000000) const;
    bool AllHandledLocked() const;

    // Set before Run(): flag cleared by the destructor, and the thread it ran on.
    bool* deleted = nullptr;
    thread_id* deletedOn = nullptr;

private:
    mutable std::mutex fMutex;
    mutable std::condition_variable fCond;
    std::vector<BMessage> fMessages;
    bool fAllLocked = true;
};

} // namespace kittest
