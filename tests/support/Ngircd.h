#pragma once

#include "TestServer.h"

#include <string>

namespace testsupport {

// ngircd: fast to start and to register (well under a millisecond per client); channels
// start with no modes.
class Ngircd : public TestServer
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

    ServerFamily Family() const override { return ServerFamily::kNgircd; }
    const char* ServerName() const override { return kServerName; }

protected:
    bool WriteConfig() override;
    std::vector<std::string> Arguments() const override;

private:
    Options fOptions;
};

} // namespace testsupport
