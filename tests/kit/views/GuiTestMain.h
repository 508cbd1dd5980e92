#pragma once

// What the GUI tests share with their main: the one Qt display server of the run, and a
// wait that keeps the GUI thread handling events.

#include <QtDisplay.h>

#include <functional>

extern kit_private::QtDisplay* gDisplay;

namespace guitest {

// Handles GUI events and applies the windows' changes until condition holds (true) or the
// time is up (false).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

} // namespace guitest
