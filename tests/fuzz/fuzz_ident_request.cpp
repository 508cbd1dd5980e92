// Any bytes as an ident request, through the request thread's own code on one end of a
// socket pair: the answer is one line ending in CR LF, never longer than the answer buffer,
// the request's first line (cut on a character boundary) followed by the fixed text and the
// user name, and valid UTF-8 whenever the request line is.

#include <IdentResponder.h>
#include <StringCopy.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

constexpr size_t kAnswerLimit = 255; // the answer buffer, less its terminator
constexpr size_t kRequestLimit = 63;

// Two-, three- and four-byte characters, so the cut that fits the name into the answer
// lands inside one at every request length.
std::string UserName()
{
    std::string name;
    while (name.size() < 300)
        name += "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80u";
    return name;
}

std::string gUser; // as the responder keeps it

bool ValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        uint32_t character;
        size_t used = decode_utf8(text.data() + i, text.size() - i, &character);
        if (used == 1 && static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
        i += used;
    }
    return true;
}

void WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // the responder closed early; what it read is what counts
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

std::string ReadAll(int fd)
{
    std::string bytes;
    char buffer[512];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return bytes; // end, or a reset for the request bytes it left unread
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Stopped at once: only the user name it keeps is wanted, not the listener.
    identd::Options options;
    options.port = 0;
    options.loopbackOnly = true;
    std::string name = UserName();
    Require(identd::StartIdentd(name.c_str(), options) == B_OK);
    identd::StopIdentd();
    char kept[512];
    identd::CopyUserName(kept, sizeof(kept));
    gUser = kept;
    Require(!gUser.empty() && gUser.size() < 256 && ValidUtf8(gUser));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // More than a socket buffer could block the writer; the reader stops at 63 bytes anyway.
    if (size > 4096)
        return 0;
    std::string_view request(reinterpret_cast<const char*>(data), size);

    int pair[2];
    Require(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0);
    WriteAll(pair[1], request);
    shutdown(pair[1], SHUT_WR);

    identd::Options options;
    options.readLimitMs = -1; // the end of the input ends the read
    identd::Responder responder(options);
    responder.active = 1;
    Require(identd::new_accept(new identd::Request{pair[0], &responder}) == 0);
    Require(responder.active == 0);
    std::string answer = ReadAll(pair[1]);
    close(pair[1]);

    Require(answer.size() >= 2 && answer.size() <= kAnswerLimit + 2);
    Require(answer.compare(answer.size() - 2, 2, "\r\n") == 0);
    std::string_view text(answer.data(), answer.size() - 2);
    Require(text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);

    // What the reader took: the first line, cut to the limit without splitting a character.
    std::string_view line = request.substr(0, request.find_first_of("\r\n"));
    std::string_view taken = line.substr(0, std::min(line.size(), kRequestLimit));
    taken = taken.substr(0, utf8_prefix_length(taken.data(), taken.size()));
    Require(line.size() <= kRequestLimit || taken.size() + 4 > kRequestLimit);
    taken = taken.substr(0, taken.find('\0')); // echoed as a C string

    std::string head = std::string(taken) + " : USERID : " + identd::system_name + " : ";
    Require(text.substr(0, head.size()) == head);
    std::string_view user = text.substr(head.size());
    Require(std::string_view(gUser).substr(0, user.size()) == user);
    // The name is cut only when the whole would not fit, and then by less than a character.
    if (user.size() < gUser.size())
        Require(text.size() + 4 > kAnswerLimit);
    if (ValidUtf8(taken))
        Require(ValidUtf8(text));
    return 0;
}
