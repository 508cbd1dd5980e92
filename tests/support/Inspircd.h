#pragma once

#include "TestServer.h"

#include <string>

namespace testsupport {

// InspIRCd 3: registers a client only on its once-a-second tick (so tests register their
// clients in parallel); channels start +nt; quit reasons get a "Quit: " prefix.
class Inspircd : public TestServer
{
public:
    static constexpr const char* kServerName = "irc.inspircd.test";

    struct Options
    {
        int pingSeconds = 600; // how often it PINGs a registered client
    };

    Inspircd();
    explicit Inspircd(Options options);

    std::string Log() const override;
    ServerFamily Family() const override { return ServerFamily::kInspircd; }
    const char* ServerName() const override { return kServerName; }

protected:
    bool WriteConfig() override;
    std::vector<std::string> Arguments() const override;

private:
    Options fOptions;
};

} // namespace testsupport
