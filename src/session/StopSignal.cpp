#include "StopSignal.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

StopSignal::StopSignal() : fFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopSignal::~StopSignal()
{
    if (fFd >= 0)
        close(fFd);
}

void StopSignal::Raise()
{
    fRaised.store(true);
    if (fFd < 0)
        return;
    uint64_t one = 1;
    // The counter only grows; a full counter (never reached in practice) still reads as raised.
    while (write(fFd, &one, sizeof(one)) < 0 && errno == EINTR) {
    }
}

bool StopSignal::IsRaised() const
{
    return fRaised.load();
}

bool StopSignal::WaitFor(int timeoutMs) const
{
    return WaitForMicroseconds(static_cast<int64_t>(timeoutMs) * 1000);
}

bool StopSignal::WaitForMicroseconds(int64_t timeout) const
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::microseconds(timeout);
    while (!IsRaised()) {
        // To the nanosecond: a wait cut short by rounding would make a waiting loop spin.
        const int64_t left =
            std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        const timespec wait{static_cast<time_t>(left / 1000000000),
                            static_cast<long>(left % 1000000000)};
        pollfd p{fFd, POLLIN, 0};
        if (ppoll(&p, 1, &wait, nullptr) < 0 && errno != EINTR)
            return IsRaised();
    }
    return true;
}
