// The whole client under a flood: the application with its main view, which connects as the
// Connect button does, routes every session message and opens the channel window the user
// joins from the server window's entry field. Shown by the headless or (--qt) the Qt display
// server. One measurement per run, so peak memory is the run's own; app_bench.py runs it
// several times and prints medians.
//
//   app_bench --traffic FILE [--qt]                 replay until the marker is in the scrollback
//   app_bench --traffic FILE [--qt] --probe RATE    the same, and RATE single lines per second
//                                                   from a second server into a second channel,
//                                                   each timed from socket to scrollback
//   app_bench --traffic FILE --qt --input RATE      the channel flooded at RATE lines/s; keys
//                                                   typed into the server window's entry, each
//                                                   timed until the field's text has it
//   app_bench --traffic FILE --qt --scroll          after the replay, frame times of scrolling
//
// Results go to standard error as one line of key=value.

#include <IrcApp.h>
#include <IrcMainView.h>
#include <IrcSelectWindow.h>

#include <DisplayMessages.h>
#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>
#include <irc.h>

#include <AppDefs.h>
#include <Button.h>
#include <HeadlessDisplay.h>
#include <Message.h>
#include <Messenger.h>
#include <QtDisplay.h>
#include <ScrollbackWidget.h>
#include <TextControl.h>
#include <TextView.h>

#include <QApplication>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include <BenchSupport.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <random>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kMarker = "END-OF-REPLAY\n";
FILE* gOut = stderr;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

struct Options
{
    std::string traffic;
    std::string tools = VELMOR_DEFAULT_BENCH_TOOLS;
    bool qt = false;
    int probeRate = 0;
    int inputRate = 0;
    bool scroll = false;
    int keys = 200;
};

class BenchApp : public IrcApp
{
public:
    void ReadyToRun() override { ready.store(true); }
    std::atomic<bool> ready{false};
};

// What the GUI thread and the controlling thread share.
struct Shared
{
    kit_private::QtDisplay* qt = nullptr;
    std::atomic<IrcDisplayWindow*> channel{nullptr};
    std::atomic<IrcDisplayWindow*> server{nullptr};
    std::atomic<bool> onScreen{false};
    Clock::time_point onScreenAt{};
    std::atomic<QLineEdit*> entry{nullptr}; // the server window's entry, found on the GUI thread
    std::atomic<bool> scrollDone{false};
    std::string scrollResult;
    std::atomic<bool> scrollWanted{false};
};
Shared gShared;

double Percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t index = std::min(samples.size() - 1, static_cast<size_t>(samples.size() * p));
    return samples[index];
}

// Whether the window's scrollback ends with text; the window is locked only briefly.
bool ScrollbackEndsWith(const std::shared_ptr<IrcWindowInfo>& info, const char* text,
                        int32* length = nullptr)
{
    BMessenger messenger = info->Messenger();
    if (!messenger.LockTarget())
        return false;
    auto* view = dynamic_cast<BTextView*>(info->Window()->FindView("fDisplay"));
    bool ends = false;
    if (view != nullptr) {
        const int32 size = view->TextLength();
        const size_t n = strlen(text);
        ends = static_cast<size_t>(size) >= n && memcmp(view->Text() + size - n, text, n) == 0;
        if (length != nullptr)
            *length = size;
    }
    info->Window()->Unlock();
    return ends;
}

int32 EntryLength(const std::shared_ptr<IrcWindowInfo>& info)
{
    BMessenger messenger = info->Messenger();
    if (!messenger.LockTarget())
        return -1;
    auto* entry = dynamic_cast<BTextControl*>(info->Window()->FindView("TextControl"));
    const int32 length = entry != nullptr ? static_cast<int32>(strlen(entry->Text())) : -1;
    info->Window()->Unlock();
    return length;
}

bool WaitUntil(const std::function<bool()>& condition, double seconds)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        usleep(1000);
    }
    return true;
}

// A server of our own on a loopback port: registers one client as "me", confirms the JOIN
// it asks for, then sends what the benchmark tells it to.
class LoopServer
{
public:
    LoopServer()
    {
        fListener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof(a);
        bind(fListener, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        listen(fListener, 1);
        getsockname(fListener, reinterpret_cast<sockaddr*>(&a), &n);
        fPort = ntohs(a.sin_port);
    }
    ~LoopServer()
    {
        if (fPeer >= 0)
            close(fPeer);
        close(fListener);
    }
    uint16_t Port() const { return fPort; }

    // Accepts, registers and waits for the client's JOIN of channel; false on time-out.
    bool Register(const std::string& channel, bool confirm)
    {
        pollfd p{fListener, POLLIN, 0};
        if (poll(&p, 1, 10000) != 1)
            return false;
        fPeer = accept(fListener, nullptr, nullptr);
        int one = 1;
        setsockopt(fPeer, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
        bool nick = false, user = false;
        std::string line;
        while (!(nick && user)) {
            if (!ReadLine(&line))
                return false;
            nick = nick || line.rfind("NICK ", 0) == 0;
            user = user || line.rfind("USER ", 0) == 0;
        }
        Send(":srv 001 me :Welcome\r\n:srv 005 me CHANTYPES=# PREFIX=(ov)@+ :are supported\r\n"
             ":srv 422 me :MOTD File is missing\r\n");
        while (ReadLine(&line)) {
            if (line.rfind("JOIN " + channel, 0) == 0) {
                if (confirm)
                    Send(":me!u@h JOIN :" + channel + "\r\n");
                return true;
            }
        }
        return false;
    }

    void Send(const std::string& bytes) { Send(bytes.data(), bytes.size()); }
    void Send(const char* bytes, size_t size)
    {
        while (size > 0) {
            const ssize_t n = send(fPeer, bytes, size, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            bytes += n;
            size -= static_cast<size_t>(n);
        }
    }

private:
    bool ReadLine(std::string* line)
    {
        for (;;) {
            const size_t end = fInput.find('\n');
            if (end != std::string::npos) {
                *line = fInput.substr(0, end);
                if (!line->empty() && line->back() == '\r')
                    line->pop_back();
                fInput.erase(0, end + 1);
                return true;
            }
            pollfd p{fPeer, POLLIN, 0};
            if (poll(&p, 1, 10000) != 1)
                return false;
            char buffer[4096];
            const ssize_t n = recv(fPeer, buffer, sizeof(buffer), 0);
            if (n <= 0)
                return false;
            fInput.append(buffer, static_cast<size_t>(n));
        }
    }

    int fListener = -1;
    int fPeer = -1;
    uint16_t fPort = 0;
    std::string fInput;
};

// The application's main window, driven as a user does.
class Client
{
public:
    explicit Client(BenchApp* app) : fApp(app) {}

    bool Attach()
    {
        if (!WaitUntil([this] { return fApp->ready.load(); }, 20))
            return false;
        BMessenger main = fApp->MainWindow();
        BLooper* looper = nullptr;
        if (!main.LockTarget())
            return false;
        main.Target(&looper);
        fWindow = static_cast<IrcSelectWindow*>(looper);
        fView = fWindow->MainView();
        identd::Options ident;
        ident.port = benchsupport::FreePort();
        ident.loopbackOnly = true;
        fView->SetIdentdOptions(ident);
        SetField("fNickName", "me");
        SetField("fRealName", "Bench");
        SetField("fUserName", "me");
        fWindow->Unlock();
        fMessenger = BMessenger(fView, fWindow);
        return true;
    }

    // Chooses the server and presses Connect; the new server's list once its window is up.
    std::shared_ptr<IrcConversationList> Connect(uint16_t port)
    {
        const size_t before = fView->ServerList().size();
        BMessage choose('Adak');
        choose.AddString("Host", "127.0.0.1");
        choose.AddString("Title", "Replay");
        choose.AddInt32("Port", port);
        fMessenger.SendMessage(&choose);
        if (!fWindow->Lock())
            return nullptr;
        if (auto* button = dynamic_cast<BButton*>(fWindow->FindView("fOkay")))
            button->Invoke();
        fWindow->Unlock();
        if (!WaitUntil([&] { return fView->ServerList().size() > before; }, 10))
            return nullptr;
        return fView->ServerList()[before];
    }

    // Types "/join channel" into the server window's entry and presses Return.
    static bool Join(const std::shared_ptr<IrcConversationList>& list, const char* channel)
    {
        const std::shared_ptr<IrcWindowInfo>& server = list->Server();
        if (!WaitUntil([&] { return server->IsConnected(); }, 10))
            return false;
        BMessenger messenger = server->Messenger();
        if (!messenger.LockTarget())
            return false;
        auto* entry = dynamic_cast<BTextControl*>(server->Window()->FindView("TextControl"));
        if (entry != nullptr)
            entry->SetText((std::string("/join ") + channel).c_str());
        server->Window()->Unlock();
        return entry != nullptr && server->Post(MSG_ENTRY_RETURN) == B_OK;
    }

    static std::shared_ptr<IrcWindowInfo>
    WaitForChannel(const std::shared_ptr<IrcConversationList>& list, const char* channel)
    {
        std::shared_ptr<IrcWindowInfo> found;
        WaitUntil([&] { return (found = list->Find(channel)) != nullptr; }, 20);
        return found;
    }

private:
    void SetField(const char* name, const char* text)
    {
        BView* view = fWindow->FindView(name);
        auto* field = dynamic_cast<BTextControl*>(view);
        for (int32 i = 0; field == nullptr && view != nullptr && i < view->CountChildren(); i++)
            field = dynamic_cast<BTextControl*>(view->ChildAt(i)->FindView(name));
        if (field != nullptr)
            field->SetText(text);
    }

    BenchApp* fApp;
    IrcSelectWindow* fWindow = nullptr;
    IrcMainView* fView = nullptr;
    BMessenger fMessenger;
};

void PrintUsage()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    fprintf(gOut, " peak_rss_mb=%.1f cpu_s=%.2f", usage.ru_maxrss / 1024.0,
            usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                usage.ru_stime.tv_usec / 1e6);
    // CPU seconds of each busy thread still running, by name: on two cores the slowest
    // thread, not the sum, sets the pace, and its time varies less than the wall clock.
    std::vector<std::pair<double, std::string>> threads;
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const size_t open = line.find('(');
        const size_t close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        std::string field;
        double utime = 0;
        double stime = 0;
        for (int i = 3; i <= 15 && rest >> field; i++) {
            if (i == 14)
                utime = std::stod(field);
            if (i == 15)
                stime = std::stod(field);
        }
        const double seconds = (utime + stime) / tick;
        if (seconds >= 0.05)
            threads.emplace_back(seconds, line.substr(open + 1, close - open - 1));
    }
    std::sort(threads.rbegin(), threads.rend());
    fprintf(gOut, " threads=");
    for (size_t i = 0; i < threads.size(); i++) {
        std::string name = threads[i].second;
        std::replace(name.begin(), name.end(), ' ', '_');
        fprintf(gOut, "%s%s:%.2f", i > 0 ? "," : "", name.c_str(), threads[i].first);
    }
}

// Single lines at a steady rate into a second channel, each timed until its window's
// scrollback ends with it, until stop is set.
void Probe(LoopServer& server, const std::shared_ptr<IrcWindowInfo>& window, int rate,
           const std::atomic<bool>& stop, std::vector<double>* samples)
{
    const auto period = std::chrono::duration<double>(1.0 / rate);
    auto next = Clock::now();
    for (int i = 0; !stop.load(); i++) {
        std::this_thread::sleep_until(next);
        next += std::chrono::duration_cast<Clock::duration>(period);
        const std::string said = "probe " + std::to_string(i) + "\n";
        const std::string line = ":bob!b@h PRIVMSG #probe :probe " + std::to_string(i) + "\r\n";
        const auto sent = Clock::now();
        server.Send(line);
        while (!ScrollbackEndsWith(window, said.c_str())) {
            if (Seconds(Clock::now() - sent) > 5)
                return;
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        samples->push_back(Seconds(Clock::now() - sent));
        if (next < Clock::now())
            next = Clock::now();
    }
}

// Replays the file to the client as fast as it reads, through the shared replay server.
int Replay(const Options& o, Client& client)
{
    const long lines = benchsupport::CountLines(o.traffic);
    std::unique_ptr<LoopServer> probeServer;
    std::shared_ptr<IrcWindowInfo> probeWindow;
    if (o.probeRate > 0) {
        probeServer = std::make_unique<LoopServer>();
        auto list = client.Connect(probeServer->Port());
        if (list == nullptr || !Client::Join(list, "#probe") ||
            !probeServer->Register("#probe", true) ||
            (probeWindow = Client::WaitForChannel(list, "#probe")) == nullptr) {
            fprintf(gOut, "no probe channel\n");
            return 1;
        }
    }

    const uint16_t port = benchsupport::FreePort();
    pid_t replay = benchsupport::Spawn({"python3", o.tools + "/replay_server.py", "--port",
                                        std::to_string(port), "--file", o.traffic, "--nick", "me",
                                        "--wait-join", "#big"});
    for (int i = 0; replay > 0 && i < 500 && !benchsupport::CanConnect(port); i++)
        usleep(10000);

    const auto start = Clock::now();
    auto list = client.Connect(port);
    if (list == nullptr || !Client::Join(list, "#big")) {
        fprintf(gOut, "no connection (%s)\n", list == nullptr ? "no server window" : "no join");
        return 1;
    }
    auto channel = Client::WaitForChannel(list, "#big");
    if (channel == nullptr) {
        fprintf(gOut, "no channel window\n");
        return 1;
    }
    gShared.channel.store(channel->Window());

    std::atomic<bool> stopProbe{false};
    std::vector<double> probes;
    std::thread prober;
    if (probeServer != nullptr)
        prober =
            std::thread([&] { Probe(*probeServer, probeWindow, o.probeRate, stopProbe, &probes); });

    int32 length = 0;
    WaitUntil([&] { return ScrollbackEndsWith(channel, kMarker, &length); }, 900);
    const auto inScrollback = Clock::now();
    stopProbe.store(true);
    if (prober.joinable())
        prober.join();
    if (o.qt)
        WaitUntil([] { return gShared.onScreen.load(); }, 900);

    const double seconds = Seconds(inScrollback - start);
    fprintf(gOut, "display=%s lines=%ld seconds=%.3f lines_per_s=%.0f", o.qt ? "qt" : "headless",
            lines, seconds, lines / seconds);
    if (o.qt) {
        const double gui = Seconds(gShared.onScreenAt - start);
        fprintf(gOut, " gui_seconds=%.3f gui_lines_per_s=%.0f", gui, lines / gui);
    }
    fprintf(gOut, " scrollback_bytes=%d users=%zu", static_cast<int>(length),
            channel->CountNicks());
    PrintUsage();
    if (!probes.empty())
        fprintf(gOut, " probe_rate=%d probe_samples=%zu probe_median_us=%.1f probe_p99_us=%.1f",
                o.probeRate, probes.size(), Percentile(probes, 0.5) * 1e6,
                Percentile(probes, 0.99) * 1e6);
    if (o.scroll) {
        gShared.scrollWanted.store(true);
        WaitUntil([] { return gShared.scrollDone.load(); }, 600);
        fprintf(gOut, " %s", gShared.scrollResult.c_str());
    }
    fprintf(gOut, "\n");
    fflush(gOut);
    if (replay > 0) {
        kill(replay, SIGTERM);
        waitpid(replay, nullptr, 0);
    }
    return 0;
}

// The channel flooded at a steady rate from the file; keys posted to the Qt entry field of the
// server window from this thread (as the windowing system queues them), each timed until the
// field's text in the window has it.
int Input(const Options& o, Client& client)
{
    std::ifstream in(o.traffic, std::ios::binary);
    std::string traffic((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<size_t> ends; // offset after each line
    for (size_t at = traffic.find('\n'); at != std::string::npos; at = traffic.find('\n', at + 1))
        ends.push_back(at + 1);

    LoopServer server;
    auto list = client.Connect(server.Port());
    if (list == nullptr || !Client::Join(list, "#big") || !server.Register("#big", false)) {
        fprintf(gOut, "no connection\n");
        return 1;
    }
    auto channel = Client::WaitForChannel(list, "#big");
    std::atomic<bool> stop{false};
    std::atomic<size_t> sentLines{0};
    const auto floodStart = Clock::now();
    std::thread flood([&] {
        size_t done = 0;
        while (!stop.load() && done < ends.size()) {
            const double elapsed = Seconds(Clock::now() - floodStart);
            const size_t due = std::min(ends.size(), static_cast<size_t>(elapsed * o.inputRate));
            if (due > done) {
                const size_t from = done == 0 ? 0 : ends[done - 1];
                server.Send(traffic.data() + from, ends[due - 1] - from);
                done = due;
                sentLines.store(done);
            }
            usleep(1000);
        }
    });
    if (channel == nullptr) {
        stop.store(true);
        flood.join();
        fprintf(gOut, "no channel window\n");
        return 1;
    }
    gShared.server.store(list->Server()->Window());
    const std::shared_ptr<IrcWindowInfo> serverInfo = list->Server();
    WaitUntil([] { return gShared.entry.load() != nullptr; }, 10);
    QLineEdit* entry = gShared.entry.load();
    // Let the flood settle to its rate first.
    usleep(500000);

    std::vector<double> samples;
    std::mt19937 random(1);
    int32 expected = EntryLength(serverInfo);
    for (int i = 0; i < o.keys && entry != nullptr && sentLines.load() < ends.size(); i++) {
        const auto posted = Clock::now();
        QCoreApplication::postEvent(
            entry, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
        QCoreApplication::postEvent(
            entry, new QKeyEvent(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x"));
        expected++;
        bool arrived = false;
        while (Seconds(Clock::now() - posted) < 5) {
            if (EntryLength(serverInfo) >= expected) {
                arrived = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        if (!arrived)
            break;
        samples.push_back(Seconds(Clock::now() - posted));
        // A fast typist's pace, 25 to 50 keys a second, so the keys fit in the flood.
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 20));
    }
    const double floodSeconds = Seconds(Clock::now() - floodStart);
    const size_t flooded = sentLines.load();
    stop.store(true);
    flood.join();
    fprintf(gOut,
            "display=qt flood_rate=%d flood_lines_per_s=%.0f keys=%zu input_median_ms=%.3f "
            "input_p99_ms=%.3f input_max_ms=%.3f",
            o.inputRate, flooded / floodSeconds, samples.size(), Percentile(samples, 0.5) * 1e3,
            Percentile(samples, 0.99) * 1e3, Percentile(samples, 1.0) * 1e3);
    PrintUsage();
    fprintf(gOut, "\n");
    fflush(gOut);
    return samples.size() == static_cast<size_t>(o.keys) ? 0 : 1;
}

// On the GUI thread: scrolls the channel's scrollback as a reader does (page steps, line
// steps, jumps of the scroll bar) and times each frame, from the move until it is painted.
void ScrollFrames(kit_private::ScrollbackWidget* widget)
{
    std::vector<double> frames;
    auto frame = [&](const std::function<void()>& move) {
        const auto start = Clock::now();
        move();
        widget->viewport()->repaint();
        frames.push_back(Seconds(Clock::now() - start));
    };
    QScrollBar* bar = widget->verticalScrollBar();
    for (int i = 0; i < 200; i++)
        frame([&] { widget->ScrollStep(kit_private::ScrollbackWidget::Step::PageUp); });
    for (int i = 0; i < 200; i++)
        frame([&] { widget->ScrollStep(kit_private::ScrollbackWidget::Step::LineUp); });
    // Dragging the thumb from the end to the top, and jumping about.
    for (int i = 0; i <= 200; i++)
        frame([&] {
            bar->setValue(bar->maximum() - static_cast<int>(1LL * bar->maximum() * i / 200));
        });
    std::mt19937 random(2);
    for (int i = 0; i < 200; i++)
        frame([&] { bar->setValue(static_cast<int>(random() % (bar->maximum() + 1))); });
    frame([&] { widget->ScrollStep(kit_private::ScrollbackWidget::Step::End); });
    const int over = static_cast<int>(
        std::count_if(frames.begin(), frames.end(), [](double f) { return f >= 0.016; }));
    char text[256];
    snprintf(text, sizeof(text),
             "scroll_frames=%zu scroll_median_ms=%.3f scroll_p99_ms=%.3f scroll_max_ms=%.3f "
             "scroll_over_16ms=%d scroll_lines=%d",
             frames.size(), Percentile(frames, 0.5) * 1e3, Percentile(frames, 0.99) * 1e3,
             Percentile(frames, 1.0) * 1e3, over, bar->maximum());
    gShared.scrollResult = text;
    gShared.scrollDone.store(true);
}

// Runs every millisecond on the GUI thread.
void WatchGui()
{
    kit_private::QtDisplay* display = gShared.qt;
    if (IrcDisplayWindow* window = gShared.channel.load(); window != nullptr && !gShared.onScreen) {
        auto* widget =
            dynamic_cast<kit_private::ScrollbackWidget*>(display->Widget(window, "fDisplay"));
        const std::string_view text =
            widget != nullptr ? std::string_view(widget->Document().Text()) : std::string_view();
        const size_t n = strlen(kMarker);
        if (text.size() >= n && text.compare(text.size() - n, std::string::npos, kMarker) == 0) {
            gShared.onScreenAt = Clock::now();
            gShared.onScreen.store(true);
        }
    }
    if (IrcDisplayWindow* window = gShared.server.load();
        window != nullptr && gShared.entry.load() == nullptr) {
        QWidget* input = display->InputWidget(window, "TextControl");
        auto* edit = qobject_cast<QLineEdit*>(input);
        if (edit == nullptr && input != nullptr)
            edit = input->findChild<QLineEdit*>();
        // Key events made on another thread would otherwise create the keyboard device there.
        QInputDevice::primaryKeyboard();
        gShared.entry.store(edit);
    }
    if (gShared.scrollWanted.exchange(false)) {
        auto* widget = dynamic_cast<kit_private::ScrollbackWidget*>(
            display->Widget(gShared.channel.load(), "fDisplay"));
        if (widget != nullptr)
            ScrollFrames(widget);
        else {
            gShared.scrollResult = "scroll_frames=0";
            gShared.scrollDone.store(true);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    IRC_SetDiagnosticSink(nullptr);
    Options o;
    for (int i = 1; i < argc; i++) {
        const bool more = i + 1 < argc;
        if (strcmp(argv[i], "--traffic") == 0 && more)
            o.traffic = argv[++i];
        else if (strcmp(argv[i], "--tools") == 0 && more)
            o.tools = argv[++i];
        else if (strcmp(argv[i], "--qt") == 0)
            o.qt = true;
        else if (strcmp(argv[i], "--probe") == 0 && more)
            o.probeRate = atoi(argv[++i]);
        else if (strcmp(argv[i], "--input") == 0 && more)
            o.inputRate = atoi(argv[++i]);
        else if (strcmp(argv[i], "--keys") == 0 && more)
            o.keys = atoi(argv[++i]);
        else if (strcmp(argv[i], "--scroll") == 0)
            o.scroll = true;
    }
    if (o.traffic.empty() || ((o.inputRate > 0 || o.scroll) && !o.qt)) {
        fprintf(gOut, "usage: app_bench --traffic FILE [--qt] [--probe RATE] "
                      "[--qt --input RATE [--keys N]] [--qt --scroll]\n");
        return 2;
    }

    // Settings of its own, thrown away; the application starts as a new user's would.
    char config[] = "/tmp/velmor-app-bench-XXXXXX";
    if (mkdtemp(config) == nullptr)
        return 1;
    setenv("XDG_CONFIG_HOME", config, 1);
    if (getenv("XDG_RUNTIME_DIR") == nullptr) {
        setenv("XDG_RUNTIME_DIR", config, 1);
        chmod(config, 0700);
    }

    std::unique_ptr<kit_private::HeadlessDisplay> headless;
    std::unique_ptr<kit_private::QtDisplay> qt;
    std::unique_ptr<QTimer> watch;
    if (o.qt) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        int qtArgc = 1;
        qt = std::make_unique<kit_private::QtDisplay>(qtArgc, argv);
        gShared.qt = qt.get();
        watch = std::make_unique<QTimer>();
        QObject::connect(watch.get(), &QTimer::timeout, [] { WatchGui(); });
        watch->start(1);
    } else {
        headless = std::make_unique<kit_private::HeadlessDisplay>();
        headless->SetAlertResponder([](const alert_request& r) {
            fprintf(gOut, "alert: %s\n", r.text.c_str());
            return 0;
        });
    }

    // The application is made and run on this thread, as the program does; a second thread
    // plays the user and the servers.
    auto* app = new BenchApp();
    std::thread user([&] {
        Client client(app);
        int status = 1;
        if (!client.Attach())
            fprintf(gOut, "no main window\n");
        else if (o.inputRate > 0)
            status = Input(o, client);
        else
            status = Replay(o, client);
        fflush(gOut);
        // The windows, with every line, are not torn down: that is no part of the measure.
        std::error_code ignored;
        std::filesystem::remove_all(config, ignored);
        _exit(status);
    });
    app->Run();
    user.join();
    return 0;
}
