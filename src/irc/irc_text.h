#pragma once

// Bounded text handling: every cut lands on a UTF-8 boundary.

#include <cstddef>
#include <string_view>

// The largest length <= max at which text can be cut without splitting a UTF-8 sequence
// (invalid bytes are cut anywhere).
size_t irc_utf8_cut(std::string_view text, size_t max);

// text cut to at most max bytes on a UTF-8 boundary.
inline std::string_view irc_bounded(std::string_view text, size_t max)
{
    return text.substr(0, irc_utf8_cut(text, max));
}

// Copies source into destination (size bytes, size > 0), cut to fit, always terminated.
void irc_copy_bounded(char* destination, size_t size, std::string_view source);
