#pragma once

#include <string>
#include <vector>

// One operator or voice change of a channel mode line.
struct UserModeChange
{
    bool add;         // '+' (true) or '-'
    char letter;      // 'o' or 'v'
    std::string nick; // at most 255 bytes, never cut inside a UTF-8 sequence
};

// The operator and voice changes of a mode text such as "+ov-v alice bob carl", in order,
// each letter with its own argument. The other letters that take an argument (b, e, I, k,
// h, and l when set) consume theirs; letters left without an argument change nothing. A
// leading ':' (a trailing protocol parameter) is not part of a word.
std::vector<UserModeChange> ParseUserModes(const char* change);
