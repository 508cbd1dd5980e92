#pragma once

// Cutting a line into prefix, command, first parameter and remaining text.

#include "irc_parse.h"

#include <string_view>

// Fills command, sender, param and rest of parsed from line (already without CR, LF, NUL
// and within IRC_LINE_MAX). Words are separated by runs of blanks.
void irc_split(std::string_view line, irc_parsed_t& parsed);

// Every occurrence of any of the bytes in drop removed.
std::string irc_without(std::string_view text, std::string_view drop);
