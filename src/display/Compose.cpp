#include "Compose.h"

#include <StringCopy.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// True when the format converts nothing but strings ("%s", and "%%").
bool OnlyStrings(const char* format)
{
    for (const char* at = format; *at != '\0'; at++) {
        if (*at != '%')
            continue;
        at++;
        if (*at != 's' && *at != '%')
            return false;
    }
    return true;
}

// snprintf for such a format, without its general machinery: most lines are a few strings
// put together. The length it would have written whole, as snprintf returns.
size_t FormatStrings(char* buffer, size_t size, const char* format, va_list args)
{
    size_t length = 0;
    auto put = [&](const char* text, size_t count) {
        if (length < size - 1)
            memcpy(buffer + length, text, std::min(count, size - 1 - length));
        length += count;
    };
    for (const char* at = format; *at != '\0'; at++) {
        const char* literal = at;
        while (*at != '\0' && *at != '%')
            at++;
        put(literal, static_cast<size_t>(at - literal));
        if (*at == '\0')
            break;
        at++;
        if (*at == '%') {
            put("%", 1);
        } else {
            const char* text = va_arg(args, const char*);
            if (text == nullptr)
                text = "(null)";
            put(text, strlen(text));
        }
    }
    buffer[std::min(length, size - 1)] = '\0';
    return length;
}

size_t ComposeV(char* buffer, size_t size, bool line, const char* format, va_list args)
{
    if (size == 0)
        return 0;
    const int length =
        OnlyStrings(format)
            ? static_cast<int>(std::min<size_t>(FormatStrings(buffer, size, format, args), INT_MAX))
            : vsnprintf(buffer, size, format, args);
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
