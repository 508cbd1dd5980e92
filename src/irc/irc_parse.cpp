// The pure parse: normalise the bytes, split, classify.

#include "irc_parse.h"

#include "irc_classify.h"
#include "irc_split.h"
#include "irc_text.h"

irc_parsed_t IRC_ParseLine(std::string_view bytes)
{
    irc_parsed_t parsed;
    // Text ends at a NUL; CR and LF are dropped wherever they are.
    std::string_view text = bytes.substr(0, bytes.find('\0'));
    parsed.line = irc_bounded(irc_without(text, "\r\n"), IRC_LINE_MAX);
    irc_split(parsed.line, parsed);
    irc_classify(parsed);
    return parsed;
}
