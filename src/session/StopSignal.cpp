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
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!IsRaised()) {
        // Rounded up: a wait shorter than asked would make a caller's waiting loop spin.
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fFd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return IsRaised();
    }
    return true;
}
