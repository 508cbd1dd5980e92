// Throughput of the protocol library: parsing lines, and reading lines from a socket.

#include "irc.h"
#include "irc_parse.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A busy channel's mix: mostly messages, some actions, joins, parts, modes and numerics.
std::vector<std::string> Traffic(size_t count)
{
    static const char* kinds[] = {
        ":nick%zu!user@host.example PRIVMSG #big :hello there, see https://example.org/%zu",
        ":nick%zu!user@host.example PRIVMSG #big :hello there, line %zu of the flood",
        ":nick%zu!user@host.example PRIVMSG #big :\x01"
        "ACTION waves %zu\x01",
        ":nick%zu!user@host.example JOIN :#big%zu",
        ":nick%zu!user@host.example PART #big :gone %zu",
        ":op!o@h MODE #big +o nick%zu %zu",
        ":irc.example.net 353 me = #big :@op +v%zu nick%zu other third fourth",
        ":nick%zu!user@host.example PRIVMSG #big :a somewhat longer message %zu with words",
    };
    std::vector<std::string> lines;
    char text[512];
    for (size_t i = 0; i < count; ++i) {
        snprintf(text, sizeof(text), kinds[i % std::size(kinds)], i % 5000, i);
        lines.push_back(std::string(text) + "\r\n");
    }
    return lines;
}

void BM_ParseLine(benchmark::State& state)
{
    const std::vector<std::string> lines = Traffic(4096);
    size_t i = 0;
    for (auto _ : state) {
        irc_parsed_t parsed = IRC_ParseLine(lines[i++ % lines.size()]);
        benchmark::DoNotOptimize(parsed);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseLine);

// Lines through a socket pair: a writer thread sends a block of traffic, the reader takes it
// apart with IRC_get_line.
void BM_ReadLines(benchmark::State& state)
{
    IRC_SetDiagnosticSink(nullptr);
    std::string block;
    const std::vector<std::string> lines = Traffic(20000);
    for (const std::string& line : lines)
        block += line;
    char buffer[IRC_LINE_MAX + 3];
    for (auto _ : state) {
        int pair[2];
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair);
        fcntl(pair[0], F_SETFL, fcntl(pair[0], F_GETFL) | O_NONBLOCK);
        irc_serv_t* serv = IRC_GetServ();
        serv->sock = pair[0];
        serv->state = 1;
        std::thread writer([&] {
            for (size_t sent = 0; sent < block.size();) {
                ssize_t n = write(pair[1], block.data() + sent, block.size() - sent);
                if (n <= 0)
                    break;
                sent += static_cast<size_t>(n);
            }
            close(pair[1]);
        });
        size_t read = 0;
        for (int got; (got = IRC_get_line(serv, buffer, sizeof(buffer))) != -1;) {
            if (got == 1)
                ++read;
            else
                IRC_Wait(serv, -1, 1000);
        }
        writer.join();
        IRC_FreeServ(serv);
        if (read != lines.size())
            state.SkipWithError("lines lost");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
