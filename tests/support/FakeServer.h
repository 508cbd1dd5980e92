#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace testsupport {

// A one-client TCP server on 127.0.0.1 for exact-byte checks: records every byte the client
// sends and sends whatever the test gives it. Single-threaded; every wait has a time-out.
class FakeServer
{
public:
    FakeServer();                       // listens at once; Port() is 0 when that failed
    explicit FakeServer(uint16_t port); // on that loopback port (0: any free one)
    ~FakeServer();
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;

    uint16_t Port() const { return fPort; }

    // The client
    bool Accept(int timeoutMs = 2000);
    void CloseClient();
    void ShutdownSend(); // our side says end of stream; the client can still send
    void ResetClient();  // closes with a reset (RST) instead of an orderly end
    bool WaitForClose(int timeoutMs = 2000); // true once the client has closed its side
    bool WasReset() const { return fReset; } // the client's close was a reset, not an end

    // Bytes
    bool Send(std::string_view bytes);
    // Reads until Received() holds needle at least count times; false on time-out or close.
    bool WaitFor(std::string_view needle, size_t count = 1, int timeoutMs = 2000);
    // Reads whatever arrives within ms (to see that nothing more came).
    void Collect(int ms);
    const std::string& Received() const { return fReceived; }
    size_t Count(std::string_view needle) const;
    void ClearReceived() { fReceived.clear(); }

private:
    bool ReadSome(int timeoutMs); // false on time-out or close

    int fListener = -1;
    int fClient = -1;
    uint16_t fPort = 0;
    bool fClosed = false;
    bool fReset = false;
    std::string fReceived;
};

} // namespace testsupport
