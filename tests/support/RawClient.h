#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A blocking, line-oriented IRC client on 127.0.0.1 for driving a real server from a test:
// the "other user". Every read has a time-out; lines come without CR LF. Server PINGs met
// while reading are answered unless SetAnswerPings(false).
class RawClient
{
public:
    RawClient() = default;
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    // Connection
    bool Connect(uint16_t port, int timeoutMs = 2000);
    // NICK and USER, then waits for the welcome (001).
    bool Register(const std::string& nick, int timeoutMs = 2000);
    // The two halves of Register, so several clients can register at once on a server
    // that welcomes them only on a clock tick.
    bool SendRegistration(const std::string& nick);
    bool WaitForWelcome(int timeoutMs = 2000);
    void Close();

    // Lines
    bool SendLine(std::string_view line); // CR LF appended
    std::optional<std::string> ReadLine(int timeoutMs = 2000);
    // Reads until a line satisfies match and returns it; nullopt on time-out or close.
    std::optional<std::string> ReadLineUntil(const std::function<bool(const std::string&)>& match,
                                             int timeoutMs = 2000);
    const std::vector<std::string>& Seen() const { return fSeen; } // every line read

    void SetAnswerPings(bool answer) { fAnswerPings = answer; }

private:
    int fSock = -1;
    bool fAnswerPings = true;
    std::string fPending; // bytes after the last complete line
    std::vector<std::string> fSeen;
};

} // namespace testsupport
