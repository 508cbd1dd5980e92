#pragma once

#include <atomic>
#include <cstdint>

// A one-way "please stop" flag that a thread can wait on in poll() next to its socket.
// Raise() may be called from any thread, any number of times; once raised it stays raised.
class StopSignal
{
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // False when no descriptor could be made; the signal then still works as a flag, but a
    // wait on it only ends at its time-out.
    bool IsValid() const { return fFd >= 0; }

    // Signalling (any thread)
    void Raise();
    bool IsRaised() const;

    // Waiting: the descriptor becomes readable once raised (for poll with other descriptors)
    int Fd() const { return fFd; }
    // Sleeps up to timeoutMs; true when the signal was raised before or during the wait.
    bool WaitFor(int timeoutMs) const;
    bool WaitForMicroseconds(int64_t timeout) const;

private:
    int fFd;
    std::atomic<bool> fRaised{false};
};
