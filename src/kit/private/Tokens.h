#pragma once

// Handler tokens carried by posted messages and messengers.

#include <SupportDefs.h>

namespace kit_private {

// The looper itself handles the message.
constexpr int32 kLooperToken = -1;
// The looper's preferred handler (for a window: its focus view), else the looper.
constexpr int32 kPreferredToken = -2;

// A fresh token for a new handler; never reused within the process.
int32 new_handler_token();

} // namespace kit_private
