#pragma once

// Caps automatic replies: at most kMaxReplies in any window of kWindowMs, so a flood of
// CTCP requests cannot make us flood the server (and get disconnected for it).
// Used only by the connection's reader thread.

#include <cstddef>
#include <cstdint>

class IrcReplyLimiter
{
public:
    static constexpr size_t kMaxReplies = 4;
    static constexpr int64_t kWindowMs = 10000;

    // True, and the reply counted, when one more reply at nowMs stays within the cap.
    bool Allow(int64_t nowMs);

    // Milliseconds on a monotonic clock.
    static int64_t Now();

private:
    int64_t fSent[kMaxReplies] = {}; // times of the last replies, a ring
    size_t fNext = 0;                // oldest entry once the ring is full
    size_t fCount = 0;
};
