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

size_t irc_utf8_cut(std::string_view text, size_t max)
{
    if (text.size() <= max)
        return text.size();
    if (!IsContinuation(static_cast<unsigned char>(text[max])))
        return max;
    // text[max] continues a sequence; drop that sequence if it started before the cut.
    for (size_t i = max; i > 0 && max - i < 3;) {
        --i;
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsContinuation(c))
            continue;
        if (c >= 0xC0 && i + SequenceLength(c) > max)
            return i;
        return max;
    }
    return max;
}

void irc_copy_bounded(char* destination, size_t size, std::string_view source)
{
    if (size == 0)
        return;
    size_t length = irc_utf8_cut(source, size - 1);
    memcpy(destination, source.data(), length);
    destination[length] = '\0';
}
