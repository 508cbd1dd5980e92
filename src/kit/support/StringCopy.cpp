#include "StringCopy.h"

#include <cstring>

size_t utf8_prefix_length(const char* source, size_t length)
{
    if (length == 0)
        return 0;
    // Walk back over continuation bytes to the start of the last sequence.
    size_t start = length;
    int continuations = 0;
    while (start > 0 && continuations < 4 &&
           (static_cast<unsigned char>(source[start - 1]) & 0xC0) == 0x80) {
        start--;
        continuations++;
    }
    if (start == 0)
        return length; // only continuation bytes: not UTF-8, nothing to protect
    unsigned char lead = static_cast<unsigned char>(source[start - 1]);
    size_t needed;
    if (lead < 0x80)
        return length; // ASCII last; trailing continuations are stray bytes
    else if ((lead & 0xE0) == 0xC0)
        needed = 2;
    else if ((lead & 0xF0) == 0xE0)
        needed = 3;
    else if ((lead & 0xF8) == 0xF0)
        needed = 4;
    else
        return length; // invalid lead byte: keep as is
    size_t have = length - (start - 1);
    return have >= needed ? length : start - 1;
}

size_t copy_utf8(char* dest, size_t size, const char* source, size_t length)
{
    if (size == 0)
        return 0;
    size_t n = length;
    if (n > size - 1)
        n = utf8_prefix_length(source, size - 1);
    if (n > 0)
        memcpy(dest, source, n);
    dest[n] = '\0';
    return n;
}

size_t copy_utf8(char* dest, size_t size, const char* source)
{
    return copy_utf8(dest, size, source, source ? strlen(source) : 0);
}

size_t decode_utf8(const char* source, size_t length, uint32_t* character)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    *character = bytes[0];
    size_t needed;
    uint32_t value;
    uint32_t least;
    if (bytes[0] < 0x80)
        return 1;
    if ((bytes[0] & 0xE0) == 0xC0) {
        needed = 2, value = bytes[0] & 0x1F, least = 0x80;
    } else if ((bytes[0] & 0xF0) == 0xE0) {
        needed = 3, value = bytes[0] & 0x0F, least = 0x800;
    } else if ((bytes[0] & 0xF8) == 0xF0) {
        needed = 4, value = bytes[0] & 0x07, least = 0x10000;
    } else {
        return 1;
    }
    if (length < needed)
        return 1;
    for (size_t i = 1; i < needed; i++) {
        if ((bytes[i] & 0xC0) != 0x80)
            return 1;
        value = (value << 6) | (bytes[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 1;
    *character = value;
    return needed;
}
