#pragma once

#include <string>

namespace testsupport {

// Threads of this process with that name.
int CountThreads(const std::string& name);

} // namespace testsupport
