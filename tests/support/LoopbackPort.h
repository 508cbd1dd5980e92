#pragma once

#include <cstdint>

namespace testsupport {

// A TCP port on 127.0.0.1 that nothing listens on at the moment of the call.
uint16_t FreeLoopbackPort();

// Waits until something accepts connections on 127.0.0.1:port; false after timeoutMs.
bool WaitForListener(uint16_t port, int timeoutMs);

// A blocking connection to 127.0.0.1:port, or -1.
int DialLoopback(uint16_t port);

} // namespace testsupport
