#pragma once

#include "Identd.h"
#include "StopSignal.h"

#include <condition_variable>
#include <mutex>

namespace identd {

// Owned by StopIdentd, which frees it only after the listener has returned and the last
// request thread has let go of it.
struct Responder
{
    explicit Responder(const Options& o) : options(o) {}

    const Options options;
    StopSignal stop;
    thread_id listener = -1;

    std::mutex lock; // guards active
    std::condition_variable idle;
    int active = 0; // request threads running
};

// What one request thread is handed: the accepted socket and its responder.
struct Request
{
    int sock;
    Responder* responder;
};

} // namespace identd
