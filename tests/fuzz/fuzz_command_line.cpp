// Any line typed into the entry field of a server, channel or private window of a connected
// session: whatever the command or text, everything that goes out is whole protocol lines of
// at most 512 bytes with their CR LF, with no CR, LF or NUL inside, and the windows go on
// answering.
//
// Input: [window selector][the typed line, up to its first LF or NUL].

#include <HeadlessDisplay.h>
#include <IRC.h>
#include <IrcDisplayWindow.h>
#include <IrcRouter.h>
#include <IrcWindowHost.h>
#include <IrcWindowInfo.h>
#include <Looper.h>
#include <Message.h>
#include <irc.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
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

constexpr size_t kWireLineLimit = 510; // without CR LF
constexpr const char* kChannel = "#fuzz";
constexpr const char* kPeer = "peer";

// The server end: records what the client sends, and sends what the harness asks.
class DrainServer
{
public:
    DrainServer()
    {
        fListener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        Require(bind(fListener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        socklen_t length = sizeof address;
        Require(getsockname(fListener, reinterpret_cast<sockaddr*>(&address), &length) == 0);
        fPort = ntohs(address.sin_port);
        Require(listen(fListener, 1) == 0);
    }

    uint16_t Port() const { return fPort; }

    void Accept()
    {
        fClient = accept(fListener, nullptr, nullptr);
        Require(fClient >= 0);
    }

    void Send(const std::string& bytes)
    {
        Require(send(fClient, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                static_cast<ssize_t>(bytes.size()));
    }

    // Everything received before the line, which is taken away with it. The client writes
    // from the caller's thread, so this thread reads it itself, without a hand-over.
    std::string TakeUntil(const std::string& line)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        size_t at;
        while ((at = fReceived.find(line)) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{fClient, POLLIN, 0};
            Require(left.count() > 0 && poll(&ready, 1, static_cast<int>(left.count())) == 1);
            char buffer[65536];
            ssize_t n = recv(fClient, buffer, sizeof buffer, 0);
            Require(n > 0);
            fReceived.append(buffer, static_cast<size_t>(n));
        }
        std::string before = fReceived.substr(0, at);
        fReceived.erase(0, at + line.size());
        return before;
    }

private:
    int fListener = -1;
    int fClient = -1;
    uint16_t fPort = 0;
    std::string fReceived;
};

// The main view's part: no tabs to keep, servers in the router.
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
    void RemoveServer(const IrcWindowInfo* serverWindow) override
    {
        fRouter.RemoveServer(serverWindow);
    }
    IrcRouter& Router() { return fRouter; }

private:
    IrcRouter fRouter;
};

class RoutingLooper : public BLooper
{
public:
    explicit RoutingLooper(IrcRouter* router) : BLooper("router"), fRouter(router) {}
    void MessageReceived(BMessage* message) override
    {
        if (message->what == kSync) {
            std::promise<void>* done = nullptr;
            if (message->FindPointer("done", reinterpret_cast<void**>(&done)) == B_OK)
                done->set_value();
            return;
        }
        if (!fRouter->Route(message))
            BLooper::MessageReceived(message);
    }

    // Returns once everything posted before it was routed.
    void Sync()
    {
        std::promise<void> done;
        std::future<void> routed = done.get_future();
        BMessage message(kSync);
        message.AddPointer("done", &done);
        Require(PostMessage(&message) == B_OK);
        Require(routed.wait_for(std::chrono::seconds(10)) == std::future_status::ready);
    }

private:
    static constexpr uint32 kSync = 'Fsyn';
    IrcRouter* fRouter;
};

kit_private::HeadlessDisplay* gDisplay = nullptr;
DrainServer* gServer = nullptr;
Host* gHost = nullptr;
RoutingLooper* gRouter = nullptr;
std::shared_ptr<IRC> gSession;
std::shared_ptr<IrcConversationList> gList;
uint64_t gMarks = 0;
uint64_t gRuns = 0;

std::string Mark()
{
    return "SYNC " + std::to_string(++gMarks) + "\r\n";
}

// What the client sent since the last call: whole lines, each within the protocol's limit.
void CheckWire()
{
    std::string mark = Mark();
    gSession->RawCommand(mark.substr(0, mark.size() - 2).c_str());
    std::string wire = gServer->TakeUntil(mark);
    Require(wire.empty() || wire.ends_with("\r\n"));
    for (size_t at = 0; at < wire.size();) {
        size_t end = wire.find("\r\n", at);
        std::string_view line(wire.data() + at, end - at);
        Require(line.size() <= kWireLineLimit);
        Require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
        at = end + 2;
    }
}

void Settle()
{
    for (int round = 0; round < 2; round++) {
        gRouter->Sync();
        gDisplay->Sync(gList->Server()->Window());
        for (const auto& window : gList->Windows()) {
            if (!window->IsClosed())
                gDisplay->Sync(window->Window());
        }
    }
}

// The window of that name, opened again when a command closed it.
std::shared_ptr<IrcWindowInfo> Conversation(const char* name)
{
    for (int attempt = 0; attempt < 500; attempt++) {
        std::shared_ptr<IrcWindowInfo> info = gList->Find(name);
        if (info != nullptr && !info->IsClosed() && info->Messenger().IsValid())
            return info;
        if (info == nullptr && attempt % 50 == 0) {
            if (name[0] == '#') {
                gSession->JoinChannel(name, nullptr, true);
                gServer->Send(std::string(":") + gSession->Nick() + "!u@127.0.0.1 JOIN :" + name +
                              "\r\n");
            } else {
                gSession->JoinChannel(name, nullptr, true);
            }
        }
        usleep(1000);
    }
    Require(false);
    return nullptr;
}

// Private windows opened by "/msg" or "/query" are closed again, so a long run keeps a
// handful of windows.
void CloseExtraWindows()
{
    for (const auto& window : gList->Windows()) {
        if (window->NameIs(kChannel) || window->NameIs(kPeer))
            continue;
        window->Post(B_QUIT_REQUESTED);
        status_t result;
        wait_for_thread(window->Thread(), &result);
    }
}

// "/part" and "/leave" close the window they are typed in.
bool ClosesTheWindow(std::string_view typed)
{
    std::string word(typed.substr(0, typed.find(' ')));
    for (char& c : word)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return word == "/part" || word == "/leave";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    IRC_SetDiagnosticSink(nullptr);
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/velmor-fuzz-XXXXXX";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    Require(mkdtemp(path.data()) != nullptr);
    setenv("XDG_CONFIG_HOME", path.data(), 1);

    gDisplay = new kit_private::HeadlessDisplay();
    gServer = new DrainServer();
    gHost = new Host();
    gRouter = new RoutingLooper(&gHost->Router());
    gRouter->Run();
    gSession = std::make_shared<IRC>("me", "me", "rn", "127.0.0.1", gServer->Port(),
                                     new BMessage('Airc'), gRouter, gRouter);
    gList = gHost->Router().Connect(gSession, "127.0.0.1", "12:05", "12/09/2026");
    gServer->Accept();
    gServer->TakeUntil("USER rn host server :rn\r\n");
    for (int i = 0; i < 1000 && !gList->Server()->IsConnected(); i++)
        usleep(2000);
    Require(gList->Server()->IsConnected());
    gServer->Send(":irc.test 001 me :Welcome\r\n");
    Conversation(kChannel);
    Conversation(kPeer);
    Settle();
    CheckWire();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::string_view typed(reinterpret_cast<const char*>(data) + 1, size - 1);
    typed = typed.substr(0, typed.find_first_of(std::string_view("\n\0", 2)));

    std::shared_ptr<IrcWindowInfo> window;
    switch (data[0] % 3) {
    case 0:
        // Closing the server window ends the session the run depends on.
        if (ClosesTheWindow(typed))
            return 0;
        window = gList->Server();
        break;
    case 1:
        window = Conversation(kChannel);
        break;
    default:
        window = Conversation(kPeer);
        break;
    }
    // As the entry field hands its line over on the window's thread.
    IrcDisplayWindow* target = window->Window();
    Require(target->Lock());
    target->HandleUserEntry(std::string(typed).c_str());
    target->Unlock();
    if (ClosesTheWindow(typed)) {
        status_t result;
        wait_for_thread(window->Thread(), &result);
    }
    CheckWire();

    // Echoes and new windows are routed behind the run; let them catch up now and then, and
    // keep the scrollbacks from growing with the run.
    if (++gRuns % 64 == 0) {
        Settle();
        CloseExtraWindows();
    }
    if (gRuns % 512 == 0) {
        for (const char* name : {kChannel, kPeer}) {
            IrcDisplayWindow* conversation = Conversation(name)->Window();
            Require(conversation->Lock());
            conversation->HandleUserEntry("/clear");
            conversation->Unlock();
        }
    }
    return 0;
}
