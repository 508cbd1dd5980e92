#include "IRC.h"

#include "EventTable.h"
#include "SessionMessages.h"

#include <WakeBatch.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// In messages: a few hundred lines wait per window at most, and the reader is held back
// for well under a millisecond at a time, so a line for another window is not kept waiting.
constexpr int32 kBacklogHigh = 512;
constexpr int32 kBacklogLow = 384;
constexpr uint32 kBacklogLookEvery = 32;
constexpr int64_t kBacklogStepUs = 100;
constexpr bigtime_t kBacklogPatience = 1000000;

} // namespace

int32 boot_strap(void* session)
{
    auto* irc = static_cast<IRC*>(session);
    irc->BootStrap();
    irc->fReaderDone.Raise();
    return 0;
}

void IRC::BootStrap()
{
    // fConnection is not freed before this thread has ended (Disconnect waits for it).
    irc_serv_t* serv = fConnection;
    if (serv == nullptr || serv->state != 1) {
        // Connecting failed: there is nothing to read, only the stop to wait for.
        while (fRunning.load() && !fStop.WaitFor(60 * 1000)) {
        }
        return;
    }
    irc_event_t event;
    // The lines of one read reach the main view as a burst that wakes it once; the wake is
    // never held past the end of what has been read.
    BWakeBatch batch;
    uint32 sinceLook = 0;
    while (fRunning.load()) {
        int got = IRC_GetEvent(serv, &event);
        if (got == 1) {
            DispatchEvent(event);
            if (++sinceLook == kBacklogLookEvery) {
                sinceLook = 0;
                HoldBackWhileBehind();
            }
        } else if (got < 0) {
            ConnectionLost();
            break;
        } else if (got == 0) {
            BWakeBatch::Flush();
            if (IRC_Wait(serv, fStop.Fd(), -1) < 0)
                break;
        }
        // 2: a line from an ignored nick was dropped unanswered; more may be buffered.
    }
    IRC_FreeEvent(&event);
}

void IRC::HoldBackWhileBehind()
{
    auto backlog = [this] {
        int32 queued = Messenger().CountQueuedMessages();
        return fBacklog ? std::max(queued, fBacklog()) : queued;
    };
    int32 queued = backlog();
    if (fGaveUpAt > 0) {
        // Given up on a receiver that took nothing; it counts again once it has caught up
        // with more than came since.
        if (queued >= fGaveUpAt)
            return;
        fGaveUpAt = 0;
    }
    if (queued < kBacklogHigh)
        return;
    BWakeBatch::Flush();
    bigtime_t progress = system_time();
    while (fRunning.load() && queued > kBacklogLow) {
        if (fStop.WaitForMicroseconds(kBacklogStepUs))
            return;
        int32 now = backlog();
        if (now < queued)
            progress = system_time();
        else if (system_time() - progress > kBacklogPatience) {
            // A window held up (a menu kept open) must not stop the others.
            fGaveUpAt = now;
            return;
        }
        queued = now;
    }
}

bool IRC::DispatchEvent(const irc_event_t& event)
{
    EventMessages out = BuildEventMessages(event, {this, fServerWindow});
    if (out.openWindow)
        Invoke(out.openWindow.get());
    if (out.message) {
        if (out.echo)
            printf("%s from %s: %s\n", event.param ? event.param : "",
                   event.sender ? event.sender : "", event.rest ? event.rest : "");
        // Built for this send alone: its fields go to the main view without a copy.
        Messenger().SendMessage(std::move(*out.message));
    }
    if (out.setInvisible) {
        char nick[sizeof(fNick)];
        CopyNick(nick, sizeof(nick));
        Send(("MODE " + std::string(nick) + " +i").c_str());
    }
    return out.message != nullptr;
}

void IRC::ConnectionLost()
{
    Invoke(NewConnectionLostMessage({this, fServerWindow}).get());
}
