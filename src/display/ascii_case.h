#pragma once

// ASCII case, as nicks, commands and link prefixes fold: the locale must not decide what
// matches, and bytes of UTF-8 sequences stay as they are.

constexpr char lower_ascii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char upper_ascii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
