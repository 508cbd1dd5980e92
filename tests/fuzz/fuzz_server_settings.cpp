// Any bytes as a "ServerSettings" file: the reader stays within the data and its buffers
// (ASan watches), every field it gives is terminated and within its limit, and every line it
// gives that the writer can write reads back as the same host, port and label.

#include <ServerSettings.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void RequireTerminated(const char* field, size_t size)
{
    Require(memchr(field, '\0', size) != nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so reading one byte past the data is caught.
    std::vector<char> bytes(data, data + size);
    std::vector<server_line> lines;
    ServerSettings::Parse(bytes.data(), bytes.size(), &lines);
    Require(lines.size() <= size / 6 + 1);

    for (const server_line& line : lines) {
        RequireTerminated(line.host, sizeof(line.host));
        RequireTerminated(line.portText, sizeof(line.portText));
        RequireTerminated(line.label, sizeof(line.label));
        Require(strchr(line.host, ',') == nullptr);
        Require(line.port >= 0);
        Require(line.port == ServerSettings::PortValue(line.portText));

        char text[1024];
        ServerSettings::DisplayText(line, text, sizeof(text));
        RequireTerminated(text, sizeof(text));

        char written[ServerSettings::kLineLimit];
        if (!ServerSettings::FormatLine(line.host, line.port, line.label, written, sizeof(written)))
            continue;
        std::vector<server_line> back;
        ServerSettings::Parse(written, strlen(written), &back);
        Require(back.size() == 1);
        Require(strcmp(back[0].host, line.host) == 0);
        Require(strcmp(back[0].label, line.label) == 0);
        Require(back[0].port == line.port);
    }
    return 0;
}
