#pragma once

// Helpers shared by the protocol library's tests.

#include "irc.h"

#include <memory>
#include <string>

namespace irctest {

struct ServDeleter
{
    void operator()(irc_serv_t* serv) const { IRC_FreeServ(serv); }
};
using ServPtr = std::unique_ptr<irc_serv_t, ServDeleter>;

// A connected record over one end of a socket pair; *peer is the other end (the test's
// "server"), closed by the caller.
ServPtr PairedServ(int* peer);

// An event record that frees its strings.
struct Event
{
    irc_event_t record;
    Event() = default;
    ~Event() { IRC_FreeEvent(&record); }
    std::string Sender() const { return record.sender ? record.sender : "<null>"; }
    std::string Param() const { return record.param ? record.param : "<null>"; }
    std::string Rest() const { return record.rest ? record.rest : "<null>"; }
};

// Waits for and reads the next event: 1 read, -1 connection ended, 0 time-out.
int NextEvent(irc_serv_t* serv, Event& event, int timeoutMs = 2000);

// Writes all bytes to a socket (test side).
void WriteAll(int fd, const std::string& bytes);

std::string CopiedOut();   // IRC_Out
std::string CopiedError(); // IRC_Error

} // namespace irctest
