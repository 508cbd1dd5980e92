#include "ViewMessages.h"

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <Messenger.h>
#include <OS.h>

#include <atomic>
#include <cstring>

namespace kit_private {

namespace {
std::atomic<uint32> sModifiers{0};
}

// The modifiers of the input message being handled on this thread (see modifiers()).
thread_local bool tCurrentModifiersSet = false;
thread_local uint32 tCurrentModifiers = 0;

BMessage make_key_down(const char* bytes, uint32 modifiers, int32 key, bool native)
{
    BMessage message(B_KEY_DOWN);
    message.AddInt64("when", system_time());
    message.AddInt8("byte", static_cast<int8>(bytes[0]));
    message.AddString("bytes", bytes);
    message.AddInt32("key", key);
    message.AddInt32("modifiers", static_cast<int32>(modifiers));
    message.AddInt32("raw_char", static_cast<unsigned char>(bytes[0]));
    if (native)
        message.AddBool(kFieldNative, true);
    return message;
}

BMessage make_mouse(uint32 what, BPoint where, BPoint screenWhere, uint32 buttons, int32 clicks,
                    uint32 modifiers)
{
    BMessage message(what);
    message.AddInt64("when", system_time());
    message.AddPoint("where", where);
    message.AddPoint("screen_where", screenWhere);
    message.AddInt32("buttons", static_cast<int32>(buttons));
    message.AddInt32("modifiers", static_cast<int32>(modifiers));
    if (what == B_MOUSE_DOWN)
        message.AddInt32("clicks", clicks);
    return message;
}

status_t post_to(int32 looperId, int32 token, const BMessage& message)
{
    return BMessenger::FromIds(looperId, token).SendMessage(&message);
}

void set_modifiers_snapshot(uint32 modifiers)
{
    sModifiers.store(modifiers);
}

uint32 modifiers_snapshot()
{
    return sModifiers.load();
}

} // namespace kit_private

uint32 modifiers()
{
    if (kit_private::tCurrentModifiersSet)
        return kit_private::tCurrentModifiers;
    return kit_private::modifiers_snapshot();
}
