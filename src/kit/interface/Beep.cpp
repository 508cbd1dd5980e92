#include "Beep.h"

#include <WindowDisplayLink.h>

#include <atomic>

namespace {
std::atomic<int32> sBeeps{0};
}

status_t beep()
{
    sBeeps++;
    if (WindowDisplayFactory* factory = window_display_factory())
        factory->Beep();
    return B_OK;
}

int32 beep_count()
{
    return sBeeps.load();
}
