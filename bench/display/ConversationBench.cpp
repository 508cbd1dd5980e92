// The whole receiving road of a channel: a replay server's flood over loopback, through the
// real session, the router, and a channel window with its user list and scrollback, shown by
// the headless or the Qt display server. One replay per run, so peak memory is the run's own;
// conversation_bench.py runs it several times and prints medians.
//
//   conversation_bench --traffic FILE [--qt] [--latency N]
//
// Prints one line of key=value results: seconds until the last line is in the scrollback
// (and, with --qt, until the GUI has applied it), lines/s, peak RSS, CPU seconds. With
// --latency N it instead times N single lines from socket to scrollback.

#include <HeadlessDisplay.h>
#include <IRC.h>
#include <IrcDisplayWindow.h>
#include <IrcRouter.h>
#include <IrcWindowHost.h>
#include <IrcWindowInfo.h>
#include <Looper.h>
#include <Message.h>
#include <QtDisplay.h>
#include <ScrollbackWidget.h>
#include <TextView.h>
#include <irc.h>

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <BenchSupport.h>

using benchsupport::CanConnect;
using benchsupport::CountLines;
using benchsupport::FreePort;
using benchsupport::Spawn;

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kMarker = "END-OF-REPLAY\n";
// Results go to standard error: standard output carries the program's own diagnostics.
FILE* gOut = stderr;

class Host : public IrcWindowHost
{
public:
    Host() : fRouter(this) {}
    void AddTab(const std::shared_ptr<IrcWindowInfo>&, const char*) override {}
    void RemoveTab(const IrcWindowInfo*) override {}
    void SetTabLabel(const IrcWindowInfo*, const char*) override {}
    void SelectTab(const IrcWindowInfo*) override {}
    std::vector<std::shared_ptr<IrcConversationList>> ServerList() const override
    {
        return fRouter.ServerList();
    }
    void RemoveServer(const IrcWindowInfo* window) override { fRouter.RemoveServer(window); }
    IrcRouter fRouter;
};

class Router : public BLooper
{
public:
    explicit Router(IrcRouter* router) : BLooper("main view"), fRouter(router) {}
    void MessageReceived(BMessage* message) override { fRouter->Route(message); }

private:
    IrcRouter* fRouter;
};

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Whether the window's scrollback ends with text; the window is locked only briefly.
bool ScrollbackEndsWith(const std::shared_ptr<IrcWindowInfo>& info, const char* text,
                        int32* length = nullptr)
{
    BMessenger messenger = info->Messenger();
    if (!messenger.LockTarget())
        return false;
    IrcDisplayWindow* window = info->Window();
    auto* view = dynamic_cast<BTextView*>(window->FindView("fDisplay"));
    bool ends = false;
    if (view != nullptr) {
        const int32 size = view->TextLength();
        const size_t n = strlen(text);
        ends = static_cast<size_t>(size) >= n && memcmp(view->Text() + size - n, text, n) == 0;
        if (length != nullptr)
            *length = size;
    }
    window->Unlock();
    return ends;
}

struct Run
{
    std::shared_ptr<IRC> session;
    std::shared_ptr<IrcConversationList> list;
    std::shared_ptr<IrcWindowInfo> channel;
};

// Waits for the channel window the JOIN opened.
bool WaitForChannel(Run& run, int timeoutMs)
{
    for (int i = 0; i < timeoutMs; i++) {
        if ((run.channel = run.list->Find("#big")) != nullptr)
            return true;
        usleep(1000);
    }
    return false;
}

void PrintUsage()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    fprintf(gOut, " peak_rss_mb=%.1f cpu_s=%.2f", usage.ru_maxrss / 1024.0,
            usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                usage.ru_stime.tv_usec / 1e6);
}

// Single lines from our own socket, each timed until the scrollback shows it.
int Latency(Host& host, Router* router, int count)
{
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof(a);
    bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    listen(listener, 1);
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &n);
    Run run;
    run.session = std::make_shared<IRC>("me", "me", "Bench", "127.0.0.1", ntohs(a.sin_port),
                                        new BMessage('Airc'), router, router);
    run.list = host.fRouter.Connect(run.session, "127.0.0.1", "12:00", "01/01/2026");
    int peer = accept(listener, nullptr, nullptr);
    run.session->JoinChannel("#big", nullptr, true);
    const std::string join = ":me!u@h JOIN :#big\r\n";
    send(peer, join.data(), join.size(), MSG_NOSIGNAL);
    if (!WaitForChannel(run, 5000))
        return 1;
    std::vector<double> samples;
    for (int i = 0; i < count; i++) {
        const std::string said = "probe " + std::to_string(i) + "\n";
        const std::string line = ":bob!b@h PRIVMSG #big :probe " + std::to_string(i) + "\r\n";
        const auto sent = Clock::now();
        send(peer, line.data(), line.size(), MSG_NOSIGNAL);
        while (!ScrollbackEndsWith(run.channel, said.c_str())) {
            if (Seconds(Clock::now() - sent) > 5)
                return 1;
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        samples.push_back(Seconds(Clock::now() - sent));
        usleep(1000);
    }
    std::sort(samples.begin(), samples.end());
    fprintf(gOut, "latency_median_us=%.1f latency_p99_us=%.1f samples=%zu\n",
            samples[samples.size() / 2] * 1e6, samples[samples.size() * 99 / 100] * 1e6,
            samples.size());
    host.fRouter.QuitAll("bench");
    host.fRouter.WaitForWindows(3000000);
    close(peer);
    close(listener);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    IRC_SetDiagnosticSink(nullptr);
    std::string traffic;
    std::string tools = VELMOR_DEFAULT_BENCH_TOOLS;
    bool qt = false;
    int latency = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--traffic") == 0 && i + 1 < argc)
            traffic = argv[++i];
        else if (strcmp(argv[i], "--qt") == 0)
            qt = true;
        else if (strcmp(argv[i], "--latency") == 0 && i + 1 < argc)
            latency = atoi(argv[++i]);
        else if (strcmp(argv[i], "--tools") == 0 && i + 1 < argc)
            tools = argv[++i];
    }
    FILE* results = gOut;

    std::unique_ptr<kit_private::HeadlessDisplay> headless;
    std::unique_ptr<kit_private::QtDisplay> display;
    if (qt)
        display = std::make_unique<kit_private::QtDisplay>(argc, argv);
    else
        headless = std::make_unique<kit_private::HeadlessDisplay>();
    Host host;
    auto* router = new Router(&host.fRouter);
    router->Run();

    if (latency > 0)
        return Latency(host, router, latency);
    if (traffic.empty()) {
        fprintf(results, "--traffic FILE is needed\n");
        return 2;
    }
    const long lines = CountLines(traffic);
    const uint16_t port = FreePort();
    pid_t server = Spawn({"python3", tools + "/replay_server.py", "--port", std::to_string(port),
                          "--file", traffic, "--nick", "me", "--wait-join", "#big"});
    for (int i = 0; server > 0 && i < 500 && !CanConnect(port); i++)
        usleep(10000);

    Run run;
    run.session = std::make_shared<IRC>("me", "me", "Bench", "127.0.0.1", port,
                                        new BMessage('Airc'), router, router);
    const auto start = Clock::now();
    run.list = host.fRouter.Connect(run.session, "127.0.0.1", "12:00", "01/01/2026");
    for (int i = 0; i < 5000 && !run.list->Server()->IsConnected(); i++)
        usleep(1000);
    run.session->JoinChannel("#big", nullptr, false);
    if (!WaitForChannel(run, 10000)) {
        fprintf(results, "no channel window\n");
        return 1;
    }

    Clock::time_point inScrollback{};
    Clock::time_point onScreen{};
    int32 length = 0;
    if (qt) {
        // The GUI thread never takes a window lock: the window is watched from another one.
        std::atomic<bool> inWindow{false};
        std::thread watcher([&] {
            while (!ScrollbackEndsWith(run.channel, kMarker, &length)) {
                if (Seconds(Clock::now() - start) > 600)
                    break;
                usleep(2000);
            }
            inScrollback = Clock::now();
            inWindow = true;
        });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* widget = dynamic_cast<kit_private::ScrollbackWidget*>(
                display->Widget(run.channel->Window(), "fDisplay"));
            const std::string_view text = widget != nullptr
                                              ? std::string_view(widget->Document().Text())
                                              : std::string_view();
            if (text.size() >= strlen(kMarker) &&
                text.compare(text.size() - strlen(kMarker), std::string::npos, kMarker) == 0) {
                if (onScreen == Clock::time_point{})
                    onScreen = Clock::now();
                if (inWindow)
                    QCoreApplication::exit(0); // quit() would close the windows first
            }
            if (Seconds(Clock::now() - start) > 600)
                QCoreApplication::exit(0); // quit() would close the windows first
        });
        poll.start(1);
        QApplication::exec();
        watcher.join();
    } else {
        while (!ScrollbackEndsWith(run.channel, kMarker, &length)) {
            if (Seconds(Clock::now() - start) > 600)
                break;
            usleep(2000);
        }
        inScrollback = Clock::now();
    }
    const double seconds = Seconds(inScrollback - start);
    fprintf(results, "display=%s lines=%ld users_file=%s seconds=%.3f lines_per_s=%.0f",
            qt ? "qt" : "headless", lines, traffic.c_str(), seconds, lines / seconds);
    if (qt)
        fprintf(results, " gui_seconds=%.3f gui_lines_per_s=%.0f", Seconds(onScreen - start),
                lines / Seconds(onScreen - start));
    fprintf(results, " scrollback_bytes=%d users=%d", static_cast<int>(length),
            run.channel->Window() != nullptr ? static_cast<int>(run.channel->CountNicks()) : 0);
    PrintUsage();
    fprintf(results, "\n");
    fflush(results);

    host.fRouter.QuitAll("bench");
    host.fRouter.WaitForWindows(5000000);
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    // The windows are gone; exiting here skips tearing down the rest.
    _exit(0);
}
