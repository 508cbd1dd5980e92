// Flattened messages arrive from drags: Unflatten must refuse any malformed bytes without
// reading outside them, and what it accepts must flatten back to the same bytes.

#include <Message.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BMessage message;
    if (message.Unflatten(reinterpret_cast<const char*>(data), static_cast<ssize_t>(size)) != B_OK)
        return 0;
    std::string again;
    message.Flatten(&again);
    if (again.size() != size || memcmp(again.data(), data, size) != 0)
        abort();
    // Reading every field the way receivers do must stay in bounds.
    const char* name;
    type_code type;
    int32 count;
    for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
        for (int32 j = 0; j < count; j++) {
            const char* text;
            BMessage inner;
            message.FindString(name, j, &text);
            message.FindMessage(name, j, &inner);
        }
    }
    return 0;
}
