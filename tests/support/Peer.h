#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

// A real peer client (python3-irc, tests/support/irc_peer.py) in its own process: the other
// person in a conversation. Lines written to it go to the server as they are; what the
// server sends it can be waited for. Stopped when the object goes away.
class Peer
{
public:
    Peer() = default;
    ~Peer();
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // Registers as nick and joins the channels (comma-separated); true once it is ready.
    bool Start(uint16_t port, const std::string& nick, const std::string& channels = "",
               int timeoutMs = 10000);
    void Stop();

    bool Send(const std::string& line); // a raw line, without CR LF
    // Waits until a received line contains text; false on time-out.
    bool WaitFor(const std::string& text, int timeoutMs = 5000);
    const std::vector<std::string>& Lines() const { return fLines; }

private:
    bool ReadLines(int timeoutMs);

    pid_t fPid = -1;
    int fIn = -1;
    int fOut = -1;
    std::string fBuffer;
    std::vector<std::string> fLines;
    size_t fSearched = 0;
};

} // namespace testsupport
