#include "Compose.h"

#include <StringCopy.h>

#include <cstdarg>
#include <cstdio>

namespace {

size_t ComposeV(char* buffer, size_t size, bool line, const char* format, va_list args)
{
    if (size == 0)
        return 0;
    const int length = vsnprintf(buffer, size, format, args);
    if (length < 0) {
        buffer[0] = '\0';
        return 0;
    }
    if (static_cast<size_t>(length) < size)
        return static_cast<size_t>(length);
    const size_t room = line && size >= 2 ? size - 2 : size - 1;
    const size_t kept = utf8_prefix_length(buffer, room);
    size_t end = kept;
    if (line && size >= 2)
        buffer[end++] = '\n';
    buffer[end] = '\0';
    return end;
}

} // namespace

size_t Compose(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const size_t length = ComposeV(buffer, size, false, format, args);
    va_end(args);
    return length;
}

size_t ComposeLine(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const size_t length = ComposeV(buffer, size, true, format, args);
    va_end(args);
    return length;
}
