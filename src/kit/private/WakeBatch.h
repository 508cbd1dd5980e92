#pragma once

// The part of wake batching a looper's queue sees.

namespace kit_private {

struct LooperPort;

// Called by a port after it has queued a message. True when the calling thread is in a batch
// and has taken the wake over (the port must not wake its looper now); false when the port
// should wake its looper itself.
bool hold_wake(LooperPort& port);

} // namespace kit_private
