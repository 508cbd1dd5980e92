// Throughput and latency of the event pump: server lines over loopback, through the reader
// thread and the event table, to messages handled by a receiving looper.
//
//   VELMOR_TRAFFIC=/tmp/traffic-1m.irc bench/session/session_bench
//
// Without VELMOR_TRAFFIC a 200,000-line file is generated under /tmp with gen_traffic.py
// (found through VELMOR_BENCH_TOOLS, default: the shared bench folder beside the source tree).

#include <IRC.h>
#include <SessionMessages.h>

#include <Looper.h>
#include <Message.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <BenchSupport.h>

using benchsupport::CanConnect;
using benchsupport::CountLines;
using benchsupport::FreePort;
using benchsupport::Spawn;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kMarker = "END-OF-REPLAY";

// Counts what arrives; remembers when the replay's last line and each numbered probe came.
class Receiver : public BLooper
{
public:
    Receiver() : BLooper("bench receiver") {}

    void MessageReceived(BMessage* message) override
    {
        fMessages.fetch_add(1, std::memory_order_relaxed);
        const char* said = nullptr;
        if (message->what != MSG_IRC_EVENT || message->FindString("Said", &said) != B_OK)
            return;
        if (strcmp(said, kMarker) == 0 || strncmp(said, "probe ", 6) == 0) {
            std::lock_guard<std::mutex> guard(fLock);
            fArrived = Clock::now();
            fLast = said;
            fChanged.notify_all();
        }
    }

    // Waits until the last marker or probe seen is text; its arrival time, or nullopt.
    bool WaitFor(const std::string& text, Clock::time_point* arrived, int timeoutMs)
    {
        std::unique_lock<std::mutex> guard(fLock);
        bool ok = fChanged.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                    [&] { return fLast == text; });
        if (ok)
            *arrived = fArrived;
        return ok;
    }

    long Messages() const { return fMessages.load(); }

private:
    std::atomic<long> fMessages{0};
    std::mutex fLock;
    std::condition_variable fChanged;
    std::string fLast;
    Clock::time_point fArrived;
};

std::string Tools()
{
    const char* dir = getenv("VELMOR_BENCH_TOOLS");
    return dir && *dir ? dir : VELMOR_DEFAULT_BENCH_TOOLS;
}

// The traffic file and a replay server pushing it to every client that registers.
struct Replay
{
    std::string file;
    long lines = 0;
    uint16_t port = 0;
    pid_t server = -1;

    bool Start()
    {
        const char* given = getenv("VELMOR_TRAFFIC");
        file = given && *given ? given : "/tmp/velmor-session-bench-200k.irc";
        struct stat st;
        if (stat(file.c_str(), &st) != 0) {
            pid_t gen = Spawn({"python3", Tools() + "/gen_traffic.py", "--lines", "200000",
                               "--users", "5000", "--nick", "me", "--chan", "#big", "-o", file});
            int status = 0;
            if (gen < 0 || waitpid(gen, &status, 0) < 0 || status != 0)
                return false;
        }
        lines = CountLines(file);
        port = FreePort();
        server = Spawn({"python3", Tools() + "/replay_server.py", "--port", std::to_string(port),
                        "--file", file, "--nick", "me"});
        for (int i = 0; server > 0 && i < 500; i++) {
            if (CanConnect(port))
                return true;
            usleep(10 * 1000);
        }
        return false;
    }

    ~Replay()
    {
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
    }
};

Replay* gReplay = nullptr;

void BM_ReplayThroughPump(benchmark::State& state)
{
    if (gReplay == nullptr) {
        state.SkipWithError("replay server or traffic file not available");
        return;
    }
    long messages = 0;
    std::vector<double> seconds;
    for (auto _ : state) {
        auto* receiver = new Receiver;
        receiver->Run();
        IRC session("me", "me", "Bench", "127.0.0.1", gReplay->port, new BMessage('Airc'), receiver,
                    receiver);
        auto start = Clock::now();
        if (session.Connect() != 0) {
            state.SkipWithError("connect failed");
            break;
        }
        Clock::time_point arrived;
        if (!receiver->WaitFor(kMarker, &arrived, 120 * 1000)) {
            state.SkipWithError("the replay's last line never arrived");
            break;
        }
        seconds.push_back(std::chrono::duration<double>(arrived - start).count());
        state.SetIterationTime(seconds.back());
        session.Disconnect("bench");
        messages += receiver->Messages();
        if (receiver->Lock())
            receiver->Quit();
    }
    state.SetItemsProcessed(state.iterations() * gReplay->lines);
    state.counters["lines/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * gReplay->lines), benchmark::Counter::kIsRate);
    if (!seconds.empty()) {
        std::sort(seconds.begin(), seconds.end());
        state.counters["median_lines/s"] =
            static_cast<double>(gReplay->lines) / seconds[seconds.size() / 2];
    }
    state.counters["messages"] =
        static_cast<double>(messages) / std::max<long>(1, state.iterations());
}
BENCHMARK(BM_ReplayThroughPump)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// One line at a time: written into the server's socket, timed until the looper has it.
void BM_SocketToMessageLatency(benchmark::State& state)
{
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof(a);
    bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    ::listen(listener, 1);
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &n);

    auto* receiver = new Receiver;
    receiver->Run();
    IRC session("me", "me", "Bench", "127.0.0.1", ntohs(a.sin_port), new BMessage('Airc'), receiver,
                receiver);
    // The kernel completes the handshake from the backlog, so Connect returns before accept.
    if (session.Connect() != 0) {
        state.SkipWithError("connect failed");
        return;
    }
    int peer = accept(listener, nullptr, nullptr);
    std::vector<double> samples;
    long i = 0;
    for (auto _ : state) {
        std::string said = "probe " + std::to_string(i++);
        std::string line = ":bob!b@h PRIVMSG #chan :" + said + "\r\n";
        auto sent = Clock::now();
        send(peer, line.data(), line.size(), MSG_NOSIGNAL);
        Clock::time_point arrived;
        if (!receiver->WaitFor(said, &arrived, 5000)) {
            state.SkipWithError("a probe never arrived");
            break;
        }
        double seconds = std::chrono::duration<double>(arrived - sent).count();
        samples.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    session.Disconnect("bench");
    close(peer);
    close(listener);
    if (receiver->Lock())
        receiver->Quit();
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end());
    state.counters["median_us"] = samples[samples.size() / 2] * 1e6;
    state.counters["p99_us"] = samples[samples.size() * 99 / 100] * 1e6;
}
BENCHMARK(BM_SocketToMessageLatency)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(5000);

} // namespace

int main(int argc, char** argv)
{
    IRC_SetDiagnosticSink(nullptr);
    benchmark::Initialize(&argc, argv);
    Replay replay;
    if (replay.Start())
        gReplay = &replay;
    else
        fprintf(stderr, "replay server not started: the throughput benchmark is skipped\n");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
