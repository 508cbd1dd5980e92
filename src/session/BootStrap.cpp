#include "IRC.h"

#include "EventTable.h"
#include "SessionMessages.h"

#include <WakeBatch.h>

#include <cstdio>
#include <string>

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
    while (fRunning.load()) {
        int got = IRC_GetEvent(serv, &event);
        if (got == 1) {
            DispatchEvent(event);
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

bool IRC::DispatchEvent(const irc_event_t& event)
{
    EventMessages out = BuildEventMessages(event, {this, fServerWindow});
    if (out.openWindow)
        Invoke(out.openWindow.get());
    if (out.message) {
        if (out.echo)
            printf("%s from %s: %s\n", event.param ? event.param : "",
                   event.sender ? event.sender : "", event.rest ? event.rest : "");
        Invoke(out.message.get());
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
