// The whois idle reply's text.

#include "irc_classify.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <ctime>

namespace {

// Reads a decimal integer like atoi (leading white space, optional sign), saturating instead
// of overflowing; *end is where its digits stop.
long long ReadInteger(std::string_view text, size_t from, size_t* end)
{
    size_t i = from;
    while (i < text.size() && isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && isdigit(static_cast<unsigned char>(text[i])); ++i) {
        int digit = text[i] - '0';
        value = value > (LLONG_MAX - digit) / 10 ? LLONG_MAX : value * 10 + digit;
    }
    *end = i;
    return negative ? -value : value;
}

} // namespace

std::string irc_idle_text(std::string_view rest)
{
    std::string_view fields = rest.substr(0, rest.find(':'));
    long long idle = 0;
    long long signOn = 0;
    size_t blank = fields.find(' ');
    if (blank != std::string_view::npos) {
        size_t end = 0;
        idle = ReadInteger(fields, blank + 1, &end);
        if (end < fields.size())
            signOn = ReadInteger(fields, end + 1, &end);
    }
    idle = std::clamp<long long>(idle, INT_MIN, INT_MAX);
    time_t when = static_cast<time_t>(signOn);
    tm local{};
    if (localtime_r(&when, &local) == nullptr)
        local = tm{}; // a time the calendar cannot show reads as zeros
    char text[160];
    snprintf(text, sizeof(text),
             "has been idle %d seconds; signed on at %02d:%02d:%02d on %02d/%02d/%02lld",
             static_cast<int>(idle), local.tm_hour, local.tm_min, local.tm_sec, local.tm_mon + 1,
             local.tm_mday, static_cast<long long>(local.tm_year) + 1900);
    return text;
}
