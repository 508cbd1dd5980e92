#pragma once

#include "TempDir.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

// The real server programs the conversation tests run against.
enum class ServerFamily
{
    kNgircd,
    kInspircd,
};

// "Ngircd" or "Inspircd": a family's name in parametrized test names.
const char* FamilyName(ServerFamily family);

// Lets test reports show the family rather than its bytes.
inline void PrintTo(ServerFamily family, std::ostream* out)
{
    *out << FamilyName(family);
}

// A real IRC server for a test, in the foreground on a free 127.0.0.1 port with its own
// configuration in a temporary folder (no DNS or ident look-ups, no flood control). Stopped
// by pid when the object goes away.
class TestServer
{
public:
    virtual ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Lifecycle
    bool Start(int timeoutMs = 3000); // true once it accepts connections; else see Error()
    void Stop();

    uint16_t Port() const { return fPort; }
    pid_t Pid() const { return fPid; }
    const std::string& Error() const { return fError; }
    virtual std::string Log() const; // the server's own output, for failure messages

    virtual ServerFamily Family() const = 0;
    virtual const char* ServerName() const = 0; // the name in its replies' prefixes

protected:
    explicit TestServer(std::string program);

    // Writes the configuration for Port() into Dir(); false (with Fail) when it cannot.
    virtual bool WriteConfig() = 0;
    virtual std::vector<std::string> Arguments() const = 0; // after the program name

    const TempDir& Dir() const { return fDir; }
    bool Fail(std::string error);
    std::string ReadFile(const std::string& name) const; // a file of Dir(), empty if missing

private:
    bool Launch();

    std::string fProgram;
    TempDir fDir;
    uint16_t fPort = 0;
    pid_t fPid = -1;
    std::string fError;
};

struct TestServerOptions
{
    // The server PINGs its clients early (ngircd: before the welcome; InspIRCd: every second).
    bool pingClients = false;
};

std::unique_ptr<TestServer> MakeTestServer(ServerFamily family,
                                           const TestServerOptions& options = {});

} // namespace testsupport
