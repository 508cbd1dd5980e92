// Any bytes as one server line: the parse must stay within its limits, keep valid UTF-8
// valid, never produce CR, LF or NUL inside a field, and its replies must stay one line.

#include "irc.h"
#include "irc_globals.h"
#include "irc_parse.h"
#include "irc_replies.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool ValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        unsigned char c = text[i];
        size_t length = c < 0x80    ? 1
                        : c >= 0xF8 ? 0
                        : c >= 0xF0 ? 4
                        : c >= 0xE0 ? 3
                        : c >= 0xC0 ? 2
                                    : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool Clean(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool initialised = (IRC_Init(), true);
    (void)initialised;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    irc_parsed_t p = IRC_ParseLine(bytes);

    Require(p.type >= 0 && p.type <= 20);
    Require(p.line.size() <= IRC_LINE_MAX && p.rest.size() <= IRC_LINE_MAX);
    Require(p.sender.size() <= IRC_LINE_MAX && p.param.size() <= IRC_WORD_MAX);
    Require(p.command.size() <= IRC_COMMAND_MAX);
    for (const std::string* field : {&p.line, &p.command, &p.sender, &p.param, &p.rest, &p.ctcp})
        Require(Clean(*field));
    if (p.type == IRC_EV_ACTION)
        Require(p.rest.find('\x01') == std::string::npos);

    // Valid text in, valid text out: no cut lands inside a character.
    std::string_view text = bytes.substr(0, bytes.find('\0'));
    if (ValidUtf8(text))
        for (const std::string* field : {&p.line, &p.sender, &p.param, &p.rest, &p.ctcp})
            Require(ValidUtf8(*field));

    for (const irc_reply_t& reply : irc_reply_lines(p, irc_responses()))
        Require(Clean(reply.line));
    return 0;
}
