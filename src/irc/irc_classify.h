#pragma once

// Deciding a split line's event type and reshaping its fields for that type.

#include "irc_parse.h"

#include <string>
#include <string_view>

// Sets type, reshapes sender/param/rest and notes the automatic replies, by the command
// word (exact comparison; the first matching row of the table decides).
void irc_classify(irc_parsed_t& parsed);

// The text of a whois idle reply (317) from its remaining text "nick idle signon :comment":
// "has been idle N seconds; signed on at HH:MM:SS on MM/DD/YYYY", in local time.
std::string irc_idle_text(std::string_view rest);
