#include "UserModes.h"

#include <StringCopy.h>

#include <cstring>
#include <string_view>

namespace {

constexpr size_t kMaxNick = 255;

bool TakesArgument(bool add, char letter)
{
    if (letter == 'l')
        return add; // a limit is only given when it is set
    return letter != '\0' && strchr("beIkovh", letter) != nullptr;
}

// The next blank-separated word of text, advancing it; a word starting with ':' is the rest
// of the line (without the colon).
std::string_view NextWord(std::string_view* text)
{
    while (!text->empty() && text->front() == ' ')
        text->remove_prefix(1);
    if (text->empty())
        return {};
    if (text->front() == ':') {
        std::string_view rest = text->substr(1);
        *text = {};
        return rest;
    }
    size_t blank = text->find(' ');
    std::string_view word = text->substr(0, blank);
    text->remove_prefix(blank == std::string_view::npos ? text->size() : blank);
    return word;
}

std::string BoundedNick(std::string_view word)
{
    size_t length = word.size();
    if (length > kMaxNick)
        length = utf8_prefix_length(word.data(), kMaxNick);
    return std::string(word.substr(0, length));
}

} // namespace

std::vector<UserModeChange> ParseUserModes(const char* change)
{
    std::vector<UserModeChange> changes;
    if (change == nullptr)
        return changes;
    std::string_view text(change);
    std::string_view letters = NextWord(&text);
    bool add = true;
    for (char letter : letters) {
        if (letter == '+' || letter == '-') {
            add = letter == '+';
            continue;
        }
        if (!TakesArgument(add, letter))
            continue;
        std::string_view argument = NextWord(&text);
        if (argument.empty())
            break; // the remaining letters have nothing left to apply to
        if (letter == 'o' || letter == 'v')
            changes.push_back({add, letter, BoundedNick(argument)});
    }
    return changes;
}
