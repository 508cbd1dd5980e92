#pragma once

#include "TempDir.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace testsupport {

// A real IRC server for a test: ngircd in the foreground on a free 127.0.0.1 port, with
// its own configuration in a temporary folder (no DNS or ident look-ups, no flood control).
// Stopped by pid when the object goes away.
class Ngircd
{
public:
    static constexpr const char* kServerName = "irc.ngircd.test";

    struct Options
    {
        bool authPing = false;    // PING every new client and register it only after PONG
        std::string extraOptions; // more lines for the [Options] section
    };

    Ngircd();
    explicit Ngircd(Options options);
    ~Ngircd();
    Ngircd(const Ngircd&) = delete;
    Ngircd& operator=(const Ngircd&) = delete;

    // Lifecycle
    bool Start(int timeoutMs = 3000); // true once it accepts connections; else see Error()
    void Stop();

    uint16_t Port() const { return fPort; }
    pid_t Pid() const { return fPid; }
    const std::string& Error() const { return fError; }
    std::string Log() const; // the server's own output, for failure messages

private:
    bool WriteConfig();
    bool Launch();

    Options fOptions;
    TempDir fDir;
    uint16_t fPort = 0;
    pid_t fPid = -1;
    std::string fError;
};

} // namespace testsupport
