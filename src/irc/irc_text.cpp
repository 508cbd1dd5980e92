#include "irc_text.h"

#include <cstring>

namespace {

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    return 2;
}

} // namespace

size_t irc_utf8_trim(std::string_view text)
{
    for (size_t i = text.size(); i > 0 && text.size() - i < 3;) {
        --i;
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsContinuation(c))
            continue;
        return c >= 0xC0 && i + SequenceLength(c) > text.size() ? i : text.size();
    }
    return text.size();
}

size_t irc_utf8_cut(std::string_view text, size_t max)
{
    // Only the kept bytes decide, so a line cut before the rest of it has arrived ends
    // where it would with the rest in view.
    return text.size() <= max ? text.size() : irc_utf8_trim(text.substr(0, max));
}

void irc_copy_bounded(char* destination, size_t size, std::string_view source)
{
    if (size == 0)
        return;
    size_t length = irc_utf8_cut(source, size - 1);
    memcpy(destination, source.data(), length);
    destination[length] = '\0';
}
