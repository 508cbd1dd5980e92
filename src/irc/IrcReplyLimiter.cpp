#include "IrcReplyLimiter.h"

#include <chrono>

bool IrcReplyLimiter::Allow(int64_t nowMs)
{
    if (fCount == kMaxReplies && nowMs - fSent[fNext] < kWindowMs)
        return false;
    fSent[fNext] = nowMs;
    fNext = (fNext + 1) % kMaxReplies;
    if (fCount < kMaxReplies)
        ++fCount;
    return true;
}

int64_t IrcReplyLimiter::Now()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
