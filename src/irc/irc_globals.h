#pragma once

// Writers and readers of the process-wide texts. Each takes the one globals lock, so two
// connections never interleave inside a text.

#include <string>
#include <string_view>

// IRC_Error = the formatted text, cut to fit.
void irc_set_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
// IRC_Out = text, cut to fit.
void irc_set_out(std::string_view text);

struct irc_responses_t
{
    std::string version;
    std::string finger;
    std::string warez;
};
// A consistent copy of the three reply texts.
irc_responses_t irc_responses();
