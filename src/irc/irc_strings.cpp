// The three string helpers of the library's callers.

#include "irc.h"
#include "irc_text.h"

#include <cstring>

void IRC_strip_char(char* string, char c)
{
    if (string == nullptr || c == '\0')
        return;
    char* out = string;
    for (const char* in = string; *in != '\0'; ++in)
        if (*in != c)
            *out++ = *in;
    *out = '\0';
}

void IRC_stop_at(char* string, char c)
{
    if (string == nullptr || c == '\0')
        return;
    size_t length = strlen(string);
    for (size_t i = 0; i < length; ++i)
        if (string[i] == c)
            string[i] = '\0';
}

void IRC_cpy_till(char* destination, const char* source, char c, size_t size)
{
    if (destination == nullptr || size == 0)
        return;
    std::string_view text(source != nullptr ? source : "");
    irc_copy_bounded(destination, size, text.substr(0, text.find(c)));
}
