// Any byte stream, delivered in pieces of any size: the line reader must hand out exactly
// the lines a whole-stream split gives (each cut to the limit), whatever the piece sizes.
//
// Input: byte 0 seeds the piece sizes, byte 1 picks the caller's buffer size, the rest is
// the stream.

#include "irc.h"
#include "irc_parse.h"
#include "irc_text.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        Require(n > 0);
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

// What the reader must produce: the stream split after each LF, each line cut to limit.
// An unterminated last line that reaches the limit counts as cut (the reader cannot know
// that nothing follows).
std::vector<std::string> Expected(std::string_view stream, size_t limit)
{
    std::vector<std::string> lines;
    while (!stream.empty()) {
        size_t lineFeed = stream.find('\n');
        size_t length = lineFeed == std::string_view::npos ? stream.size() : lineFeed + 1;
        std::string_view line = stream.substr(0, length);
        bool cut =
            line.size() > limit || (lineFeed == std::string_view::npos && line.size() == limit);
        lines.emplace_back(cut ? line.substr(0, irc_utf8_trim(line.substr(0, limit))) : line);
        stream.remove_prefix(length);
    }
    return lines;
}

// Reads until the reader has nothing more for now (0) or the end (-1).
int Drain(irc_serv_t* serv, std::vector<char>& buffer, std::vector<std::string>& lines)
{
    for (;;) {
        size_t length = 0;
        int got = IRC_get_line(serv, buffer.data(), buffer.size(), &length);
        if (got != 1)
            return got;
        Require(length < buffer.size() && buffer[length] == '\0');
        lines.emplace_back(buffer.data(), length);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static constexpr size_t kBufferSizes[] = {2, 8, 64, 513, IRC_LINE_MAX + 3, 4096};
    uint32_t seed = data[0];
    std::vector<char> buffer(kBufferSizes[data[1] % std::size(kBufferSizes)]);
    std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);

    int pair[2];
    Require(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0);
    fcntl(pair[0], F_SETFL, fcntl(pair[0], F_GETFL) | O_NONBLOCK);
    irc_serv_t* serv = IRC_GetServ();
    serv->sock = pair[0];
    serv->state = 1;

    std::vector<std::string> lines;
    for (std::string_view rest = stream; !rest.empty();) {
        seed = seed * 1103515245u + 12345u;
        size_t piece = 1 + (seed >> 16) % (seed & 0x100 ? 4000 : 16);
        piece = std::min(piece, rest.size());
        WriteAll(pair[1], rest.substr(0, piece));
        rest.remove_prefix(piece);
        Require(Drain(serv, buffer, lines) == 0);
    }
    close(pair[1]);
    Require(Drain(serv, buffer, lines) == -1);
    Require(IRC_Ended(serv) != 0);

    size_t limit = std::min(IRC_LINE_MAX + 2, buffer.size() - 1);
    Require(lines == Expected(stream, limit));
    IRC_FreeServ(serv);
    return 0;
}
