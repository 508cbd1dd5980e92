#include "irc_split.h"

#include "irc_text.h"

#include <cstring>

namespace {

// The next word from pos; afterwards pos is just past the one blank that ended it. When no
// word is left, pos stays where it was, so the remaining text is unchanged.
std::string_view NextWord(std::string_view line, size_t& pos)
{
    size_t start = line.find_first_not_of(' ', pos);
    if (start == std::string_view::npos)
        return {};
    size_t end = line.find(' ', start);
    if (end == std::string_view::npos) {
        pos = line.size();
        return line.substr(start);
    }
    pos = end + 1;
    return line.substr(start, end - start);
}

bool TakesFirstParameter(std::string_view command)
{
    return command != "JOIN" && command != "PART" && command != "NICK" && command != "QUIT";
}

// The part of a "nick!user@host" prefix after the "!", colons removed; empty without "!".
std::string UserAndHost(std::string_view prefix)
{
    std::string bare = irc_without(prefix, ":");
    size_t bang = bare.find('!');
    return bang == std::string::npos ? std::string() : bare.substr(bang + 1);
}

} // namespace

std::string irc_without(std::string_view text, std::string_view drop)
{
    // Every line of a flood comes through here, and nearly all hold none of the bytes: one
    // vector search for each byte finds where copying must start to pick.
    size_t first = text.size();
    for (char c : drop) {
        if (first == 0)
            break;
        if (const void* at = memchr(text.data(), c, first))
            first = static_cast<size_t>(static_cast<const char*>(at) - text.data());
    }
    std::string kept(text.substr(0, first));
    if (first == text.size())
        return kept;
    bool dropped[256] = {};
    for (char c : drop)
        dropped[static_cast<unsigned char>(c)] = true;
    kept.reserve(text.size());
    size_t start = first + 1;
    for (size_t i = start; i < text.size(); i++) {
        if (dropped[static_cast<unsigned char>(text[i])]) {
            kept.append(text.data() + start, i - start);
            start = i + 1;
        }
    }
    kept.append(text.data() + start, text.size() - start);
    return kept;
}

void irc_split(std::string_view line, irc_parsed_t& parsed)
{
    size_t pos = 0;
    std::string_view prefix = irc_bounded(NextWord(line, pos), IRC_WORD_MAX);
    std::string_view command = irc_bounded(NextWord(line, pos), IRC_COMMAND_MAX);
    std::string_view param;
    std::string_view rest;
    if (prefix == "PING") {
        // A server PING has no prefix: its token stands where the command would.
        prefix = irc_bounded(command, IRC_WORD_MAX);
        command = "PING";
    } else {
        if (TakesFirstParameter(command))
            param = irc_bounded(NextWord(line, pos), IRC_WORD_MAX);
        if (!command.empty())
            rest = line.substr(pos);
    }
    parsed.command = command;
    parsed.param = command == "JOIN" ? UserAndHost(prefix) : std::string(param);
    parsed.sender = irc_without(prefix.substr(0, prefix.find('!')), ":");
    if (!rest.empty() && rest.front() == ':')
        rest.remove_prefix(1);
    parsed.rest = irc_bounded(rest, IRC_LINE_MAX);
}
