#include "WakeBatch.h"

#include "../private/LooperPort.h"
#include "../private/WakeBatch.h"

#include <memory>
#include <vector>

namespace {

// A receiver far behind still gets woken this often, so both threads keep working. A receiver
// that keeps up falls asleep after every wake, and each wake costs both threads a system call
// and a switch: a few hundred lines of a burst go to it at a time.
constexpr int kMaxHeld = 128;

struct HeldWakes
{
    int depth = 0;
    int held = 0;
    std::vector<std::shared_ptr<kit_private::LooperPort>> ports;

    void Wake()
    {
        std::vector<std::shared_ptr<kit_private::LooperPort>> woken;
        woken.swap(ports);
        held = 0;
        for (const auto& port : woken)
            port->Wake();
    }

    // A thread never ends with a receiver left asleep on a message it posted.
    ~HeldWakes() { Wake(); }
};

thread_local HeldWakes tHeld;

} // namespace

BWakeBatch::BWakeBatch()
{
    tHeld.depth++;
}

BWakeBatch::~BWakeBatch()
{
    if (--tHeld.depth == 0)
        tHeld.Wake();
}

void BWakeBatch::Flush()
{
    if (!tHeld.ports.empty())
        tHeld.Wake();
}

namespace kit_private {

bool hold_wake(LooperPort& port)
{
    HeldWakes& held = tHeld;
    if (held.depth == 0)
        return false;
    // Bursts go to one or two receivers: only a change of receiver is recorded.
    bool known = false;
    for (const auto& p : held.ports)
        known |= p.get() == &port;
    if (!known)
        held.ports.push_back(port.shared_from_this());
    if (++held.held >= kMaxHeld)
        held.Wake();
    return true;
}

} // namespace kit_private
