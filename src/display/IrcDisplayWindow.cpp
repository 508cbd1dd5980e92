#include "IrcDisplayWindow.h"

#include "DisplayMessages.h"
#include "IrcWindowHost.h"
#include "IrcWindowInfo.h"

#include <Alert.h>
#include <IRC.h>
#include <Message.h>
#include <Messenger.h>
#include <StringCopy.h>

#include <string>

namespace {

constexpr const char* kQuitReason = "Velmor v0.31";
constexpr bigtime_t kConnectTimeLimit = 10000000;

void StopAlert(const char* text)
{
    (new BAlert("", text, "Okay", nullptr, nullptr, B_WIDTH_AS_USUAL, B_STOP_ALERT))->Go();
}

} // namespace

// What a connection thread holds. The window is reached only through the messenger: the
// pointer is used once LockTarget has proved the window is still there.
struct IrcDisplayWindow::ThreadData
{
    BMessenger messenger;
    IrcDisplayWindow* window;
    std::shared_ptr<IRC> session;
    std::shared_ptr<IrcWindowInfo> info;
    thread_id connectThread;
};

IrcDisplayWindow::IrcDisplayWindow(std::shared_ptr<IRC> irc, const char* name, IrcWindowHost* host,
                                   int32 kind, int32 number,
                                   std::shared_ptr<IrcConversationList> conversations)
    : BWindow(BRect(400, 400, 750, 700), "Velmor", B_DOCUMENT_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0),
      fIrcOwner(std::move(irc)), fIrc(fIrcOwner.get()), fHost(host), fWindowNumber(number),
      fWindowType(kind), fTextFont(*be_fixed_font), fMessageFont(*be_bold_font)
{
    copy_utf8(fName, sizeof(fName), name != nullptr ? name : "");
    fInfo = std::make_shared<IrcWindowInfo>(this, kind, fName);
    if (kind == kServerWindow || conversations == nullptr) {
        fConversations = std::make_shared<IrcConversationList>(fInfo);
        fServerInfo = fInfo;
    } else {
        fConversations = std::move(conversations);
        fServerInfo = fConversations->Server();
        std::string time;
        std::string date;
        fConversations->GetClock(&time, &date);
        copy_utf8(fTimeString, sizeof(fTimeString), time.c_str());
        copy_utf8(fDateString, sizeof(fDateString), date.c_str());
    }

    if (kind == kServerWindow) {
        fTitleString = ShownName();
    } else {
        const std::string server = fServerInfo->Name();
        fTitleString = kind == kPrivateWindow ? "Private with " : "";
        fTitleString += ShownName() + " (" + server + ")";
    }
    SetTitle(fTitleString.c_str());

    ReadSettings();
    DoGUI();
    // Everything the window's thread reads is set before it runs.
    if (kind == kPrivateWindow) {
        fConnected = true;
        fInfo->SetConnected(true);
    }
    fHasTab = kind != kChannelWindow;
    const thread_id thread = Run();
    fInfo->SetMessenger(BMessenger(this), thread);

    // A channel window appears with the server's confirmation of the user's own JOIN.
    if (kind != kChannelWindow) {
        if (fHost != nullptr)
            fHost->AddTab(fInfo, ShownName().c_str());
        Show();
    }
}

IrcDisplayWindow::~IrcDisplayWindow() = default;

IrcDisplayWindow* IrcDisplayWindow::OpenServer(std::shared_ptr<IRC> irc, const char* host,
                                               IrcWindowHost* windowHost, const char* time,
                                               const char* date)
{
    IRC* session = irc.get();
    auto* window =
        new IrcDisplayWindow(std::move(irc), host, windowHost, kServerWindow, 0, nullptr);
    window->Lock();
    copy_utf8(window->fTimeString, sizeof(window->fTimeString), time != nullptr ? time : "");
    copy_utf8(window->fDateString, sizeof(window->fDateString), date != nullptr ? date : "");
    window->fConversations->SetClock(window->fTimeString, window->fDateString);
    window->RefreshStats();
    if (session != nullptr)
        session->SetServer(window);
    window->Unlock();
    return window;
}

IrcDisplayWindow*
IrcDisplayWindow::OpenConversation(std::shared_ptr<IRC> irc, const char* name,
                                   IrcWindowHost* windowHost,
                                   const std::shared_ptr<IrcConversationList>& list)
{
    const int32 kind = name != nullptr && name[0] == '#' ? kChannelWindow : kPrivateWindow;
    auto* window =
        new IrcDisplayWindow(std::move(irc), name, windowHost, kind, list->CountItems() + 1, list);
    list->Add(window->Info());
    list->Server()->Post(MSG_UPDATE_STATS);
    list->Server()->Post(MSG_UPDATE_MENUS);
    for (const auto& conversation : list->Windows())
        conversation->Post(MSG_UPDATE_MENUS);
    list->Server()->Post(MSG_UPDATE_MENUS);
    return window;
}

IrcConversationList* IrcDisplayWindow::ChannelList() const
{
    return fWindowType == kServerWindow ? fConversations.get() : nullptr;
}

bool IrcDisplayWindow::QuitRequested()
{
    return true;
}

void IrcDisplayWindow::QuitNow()
{
    fInfo->Post(MSG_QUIT_NOW);
}

void IrcDisplayWindow::SetQuitMessage(const char* text)
{
    fQuitMessage = text != nullptr ? text : "";
}

// Connection threads -------------------------------------------------------------------

void IrcDisplayWindow::StartThreads()
{
    if (fWindowType != kServerWindow || fConnectThread >= 0)
        return;
    auto* connect = new ThreadData{BMessenger(this), this, fIrcOwner, fInfo, -1};
    fConnectThread = spawn_thread(ServerConnect, "ServerConnect", B_NORMAL_PRIORITY, connect);
    auto* watch = new ThreadData{BMessenger(this), this, fIrcOwner, fInfo, fConnectThread};
    fWatchThread =
        spawn_thread(ServerConnectionWatch, "ServerConnectionWatch", B_NORMAL_PRIORITY, watch);
    if (fConnectThread < 0)
        delete connect;
    else
        resume_thread(fConnectThread);
    if (fWatchThread < 0)
        delete watch;
    else
        resume_thread(fWatchThread);
}

int32 IrcDisplayWindow::ServerConnect(void* data)
{
    std::unique_ptr<ThreadData> thread(static_cast<ThreadData*>(data));
    const int32 result = thread->session->Connect();
    // Stopped by the time-out or by the window closing: the window is not ours to touch.
    if (thread_stop_requested())
        return 0;
    if (result == 0) {
        thread->info->SetConnected(true);
        if (thread->messenger.LockTarget()) {
            thread->window->fConnected = true;
            thread->window->RefreshStats();
            thread->window->Unlock();
        }
        thread->info->Post(MSG_UPDATE_MENUS);
        return 0;
    }
    if (!thread->messenger.LockTarget())
        return 0;
    if (!thread->info->ClaimClose()) {
        thread->window->Unlock();
        return 0;
    }
    thread->window->fConnected = false;
    // Closes the window and waits until it is gone; the alert needs nothing of it.
    thread->window->Quit();
    StopAlert("Could not connect to server.");
    return 0;
}

int32 IrcDisplayWindow::ServerConnectionWatch(void* data)
{
    std::unique_ptr<ThreadData> thread(static_cast<ThreadData*>(data));
    if (snooze(kConnectTimeLimit) != B_OK || thread_stop_requested())
        return 0;
    if (thread->info->IsConnected() || !thread->info->ClaimClose())
        return 0;
    if (thread->connectThread >= 0) {
        suspend_thread(thread->connectThread);
        kill_thread(thread->connectThread);
    }
    StopAlert("Server connection timed out.");
    if (thread_stop_requested() || !thread->messenger.LockTarget())
        return 0;
    thread->window->fConnected = false;
    thread->window->fTimedOut = true;
    thread->window->Quit();
    return 0;
}

// Quit sequence -------------------------------------------------------------------------

void IrcDisplayWindow::Quit()
{
    QuitSequence();
    BWindow::Quit();
}

void IrcDisplayWindow::QuitSequence()
{
    WriteSettings();
    fInfo->ClaimClose();
    fInfo->SetActive(false);
    if (!fQuitNow && fHasTab && fHost != nullptr)
        fHost->RemoveTab(fInfo.get());
    fHasTab = false;
    fWatchActivation = false;

    if (fWindowType == kServerWindow) {
        const thread_id self = find_thread(nullptr);
        if (!fTimedOut && fWatchThread >= 0 && fWatchThread != self)
            kill_thread(fWatchThread);
        // A connect still blocked in look-up or connect is abandoned, not waited for.
        if (fConnectThread >= 0 && fConnectThread != self)
            kill_thread(fConnectThread);
        if (fIrc != nullptr) {
            if (fConnected) {
                const std::string reason = std::string(kQuitReason) + " -- " + fQuitMessage;
                fIrc->Disconnect(reason.c_str());
            } else {
                fIrc->KillThreads();
            }
        }
        fIrc = nullptr;
        fIrcOwner.reset();
        BMessage quit(MSG_QUIT_NOW);
        for (const auto& conversation : fConversations->Windows()) {
            if (!fQuitNow && fHost != nullptr)
                fHost->RemoveTab(conversation.get());
            conversation->Post(&quit);
        }
        if (fHost != nullptr)
            fHost->RemoveServer(fInfo.get());
        return;
    }

    if (fWindowType == kChannelWindow && !fQuitNow && !fRejoin && fIrc != nullptr)
        fIrc->PartChannel(fName, "No reason.");
    if (!fQuitNow) {
        fConversations->Remove(fInfo.get());
        fServerInfo->Post(MSG_UPDATE_MENUS);
        fServerInfo->Post(MSG_UPDATE_STATS);
        for (const auto& conversation : fConversations->Windows())
            conversation->Post(MSG_UPDATE_MENUS);
        if (fRejoin && fIrc != nullptr)
            fIrc->JoinChannel(fRejoinChannel, nullptr, false);
    }
}
