#pragma once

#include <Message.h>

#include <string>

// One line describing a message: its code, then every field in order as name:type=value,
// e.g. "Amsh type:i=0 Nick:s=bob IRC:p=S". Types: i int32, s string, b bool, p pointer;
// a pointer prints as S (session), W (server window), 0 (null) or ? (anything else).
std::string MessageText(const BMessage& message, const void* session, const void* window);

// True when text matches pattern, in which '*' stands for any run of characters.
bool MatchesText(const std::string& text, const std::string& pattern);
