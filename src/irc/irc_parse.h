#pragma once

// Splitting and classifying one server line: a pure function over bytes, no socket, no
// globals. IRC_GetEvent is this plus reading, diagnostics and the automatic replies.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Working limits of one parse, in bytes; longer text is cut on a UTF-8 boundary.
constexpr size_t IRC_LINE_MAX = 2047;  // the line, and the remaining text
constexpr size_t IRC_WORD_MAX = 1023;  // the prefix and the first parameter
constexpr size_t IRC_COMMAND_MAX = 49; // the command word

// Automatic replies a line asks for (bits of irc_parsed_t::replies).
enum : uint32_t
{
    IRC_REPLY_PONG = 1u << 0,    // server PING: "PONG <sender>"
    IRC_REPLY_VERSION = 1u << 1, // CTCP VERSION
    IRC_REPLY_PING = 1u << 2,    // CTCP PING: the request echoed back in a NOTICE
    IRC_REPLY_FINGER = 1u << 3,  // CTCP FINGER
    IRC_REPLY_CDCC = 1u << 4,    // CDCC
};

struct irc_parsed_t
{
    int32_t type = 20;   // IRC_EV_* of irc.h
    std::string line;    // the line as shown: cut at NUL, CR and LF removed, bounded
    std::string command; // the command word as compared (exact, case-sensitive)
    std::string sender;  // the event's fields, reshaped per type
    std::string param;
    std::string rest;
    std::string ctcp;     // a CTCP request's text as received (delimiters kept), else empty
    uint32_t replies = 0; // IRC_REPLY_* bits
};

// Splits and classifies the bytes of one line (with or without its CR LF; anything after a
// NUL is ignored). Never fails: malformed lines leave missing parts empty and classify as
// raw lines.
irc_parsed_t IRC_ParseLine(std::string_view bytes);
