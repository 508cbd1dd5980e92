#pragma once

// Bounded text handling: every cut lands on a UTF-8 boundary.

#include <cstddef>
#include <string_view>

// The length of text without a UTF-8 sequence left incomplete at its end.
size_t irc_utf8_trim(std::string_view text);

// The length text is cut to when it must fit in max bytes: all of it when it fits, else max
// less a UTF-8 sequence that would be left incomplete at the end (invalid bytes are cut
// anywhere).
size_t irc_utf8_cut(std::string_view text, size_t max);

// text cut to at most max bytes on a UTF-8 boundary.
inline std::string_view irc_bounded(std::string_view text, size_t max)
{
    return text.substr(0, irc_utf8_cut(text, max));
}

// Copies source into destination (size bytes, size > 0), cut to fit, always terminated.
void irc_copy_bounded(char* destination, size_t size, std::string_view source);
