#pragma once

// The system beep: the display server's, or nothing when headless. Every beep is counted so
// tests can observe refused input.

#include <SupportDefs.h>

status_t beep();
// Beeps since the process started (any thread).
int32 beep_count();
