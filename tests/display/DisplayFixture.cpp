#include "DisplayFixture.h"

#include <IRC.h>
#include <Message.h>
#include <Messenger.h>
#include <irc.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace displaytest {

TestHost::TestHost() : fRouter(this) {}

void TestHost::AddTab(const std::shared_ptr<IrcWindowInfo>& window, const char* label)
{
    std::lock_guard guard(fLock);
    fTabs.emplace_back(window.get(), label);
    fSeen.push_back(window);
}

void TestHost::WaitForWindowThreads() const
{
    std::vector<std::shared_ptr<IrcWindowInfo>> seen;
    {
        std::lock_guard guard(fLock);
        seen = fSeen;
    }
    for (const auto& window : seen) {
        status_t result;
        if (window->Thread() >= 0)
            wait_for_thread(window->Thread(), &result);
    }
}

void TestHost::RemoveTab(const IrcWindowInfo* window)
{
    std::lock_guard guard(fLock);
    std::erase_if(fTabs, [window](const auto& tab) { return tab.first == window; });
}

void TestHost::SetTabLabel(const IrcWindowInfo* window, const char* label)
{
    std::lock_guard guard(fLock);
    for (auto& tab : fTabs) {
        if (tab.first == window)
            tab.second = label;
    }
}

void TestHost::SelectTab(const IrcWindowInfo* window)
{
    std::lock_guard guard(fLock);
    fSelected.push_back(window);
}

std::vector<const IrcWindowInfo*> TestHost::SelectedTabs() const
{
    std::lock_guard guard(fLock);
    return fSelected;
}

std::vector<std::shared_ptr<IrcConversationList>> TestHost::ServerList() const
{
    return fRouter.ServerList();
}

void TestHost::RemoveServer(const IrcWindowInfo* serverWindow)
{
    fRouter.RemoveServer(serverWindow);
    std::lock_guard guard(fLock);
    fRemovedServers++;
}

std::vector<std::string> TestHost::TabLabels() const
{
    std::lock_guard guard(fLock);
    std::vector<std::string> labels;
    for (const auto& tab : fTabs)
        labels.push_back(tab.second);
    return labels;
}

std::optional<std::string> TestHost::TabLabel(const IrcWindowInfo* window) const
{
    std::lock_guard guard(fLock);
    for (const auto& tab : fTabs) {
        if (tab.first == window)
            return tab.second;
    }
    return std::nullopt;
}

int32 TestHost::RemovedServers() const
{
    std::lock_guard guard(fLock);
    return fRemovedServers;
}

RoutingLooper::RoutingLooper(IrcRouter* router) : BLooper("router"), fRouter(router) {}

void RoutingLooper::MessageReceived(BMessage* message)
{
    if (message->what == 'SYNC') {
        std::lock_guard guard(fLock);
        fSynced++;
        fHandled.notify_all();
        return;
    }
    if (!fRouter->Route(message))
        BLooper::MessageReceived(message);
}

void RoutingLooper::Sync()
{
    int64 ticket;
    {
        std::lock_guard guard(fLock);
        ticket = ++fPosted;
    }
    if (PostMessage('SYNC') != B_OK)
        return;
    std::unique_lock guard(fLock);
    fHandled.wait_for(guard, std::chrono::seconds(5), [&] { return fSynced >= ticket; });
}

void DisplayFixture::SetUp()
{
    IRC_SetDiagnosticSink(nullptr);
    setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1);
    fDisplay = std::make_unique<kit_private::HeadlessDisplay>();
    fDisplay->SetAlertResponder([this](const alert_request&) { return fAlertAnswer.load(); });
    ASSERT_NE(fServer.Port(), 0);

    fRouterLooper = new RoutingLooper(&fHost.Router());
    fRouterLooper->Run();
    fSession = std::make_shared<IRC>("me", "me", "rn", "127.0.0.1", fServer.Port(),
                                     new BMessage('Airc'), fRouterLooper, fRouterLooper);
    fList = fHost.Router().Connect(fSession, "127.0.0.1", "12:05", "12/09/2026");
    ASSERT_TRUE(fServer.Accept());
    ASSERT_TRUE(fServer.WaitFor("USER rn host server :rn\r\n"));
    fServer.ClearReceived();
    for (int i = 0; i < 500 && !fList->Server()->IsConnected(); i++)
        snooze(2000);
    ASSERT_TRUE(fList->Server()->IsConnected());
    Settle();
}

void DisplayFixture::TearDown()
{
    // Close what is still open as the application does, then wait for it.
    fHost.Router().QuitAll("");
    EXPECT_TRUE(fHost.Router().WaitForWindows(5000000));
    fHost.WaitForWindowThreads();
    fSession.reset();
    fList.reset();
    if (fRouterLooper->Lock())
        fRouterLooper->Quit();
    fDisplay.reset();
}

IrcDisplayWindow* DisplayFixture::ServerWindow() const
{
    return fList->Server()->Window();
}

IrcDisplayWindow* DisplayFixture::Conversation(const char* name) const
{
    std::shared_ptr<IrcWindowInfo> info = fList->Find(name);
    return info != nullptr ? info->Window() : nullptr;
}

IrcDisplayWindow* DisplayFixture::Join(const char* channel, const char* names)
{
    fSession->JoinChannel(channel, nullptr, true);
    std::vector<std::string> lines = {std::string(":me!u@127.0.0.1 JOIN :") + channel};
    if (names != nullptr) {
        lines.push_back(std::string(":irc.test 353 me = ") + channel + " :" + names);
        lines.push_back(std::string(":irc.test 366 me ") + channel + " :End of NAMES list");
    }
    Feed(lines);
    // The end of the names asks to be invisible; that line is not the test's.
    if (names != nullptr)
        Wire();
    return Conversation(channel);
}

IrcDisplayWindow* DisplayFixture::OpenPrivate(const char* nick)
{
    fSession->JoinChannel(nick, nullptr, true);
    Settle();
    return Conversation(nick);
}

void DisplayFixture::Feed(const std::string& line)
{
    Feed(std::vector<std::string>{line});
}

void DisplayFixture::Feed(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    // The reader answers the PING after every line before it.
    const std::string marker = "sync" + std::to_string(++fSyncs);
    bytes += "PING :" + marker + "\r\n";
    ASSERT_TRUE(fServer.Send(bytes));
    ASSERT_TRUE(fServer.WaitFor("PONG " + marker + "\r\n"));
    std::string received = fServer.Received();
    const size_t at = received.find("PONG " + marker + "\r\n");
    received.erase(at, marker.size() + 7);
    fServer.ClearReceived();
    fPending += received;
    Settle();
}

void DisplayFixture::Settle()
{
    // Routing posts to windows, and windows post to each other: a few rounds reach the end.
    for (int round = 0; round < 3; round++) {
        fRouterLooper->Sync();
        std::vector<BWindow*> windows;
        windows.push_back(ServerWindow());
        for (const auto& window : fList->Windows())
            windows.push_back(window->Window());
        for (BWindow* window : windows) {
            if (window != nullptr)
                fDisplay->Sync(window);
        }
    }
}

void DisplayFixture::Enter(IrcDisplayWindow* window, const char* line)
{
    fDisplay->Focus(window, "TextControl");
    fDisplay->Type(window, "TextControl", (std::string(line) + "\n").c_str());
    fDisplay->Sync(window);
    Settle();
}

std::string DisplayFixture::Wire()
{
    fSession->RawCommand("SYNC");
    EXPECT_TRUE(fServer.WaitFor("SYNC\r\n"));
    std::string wire = fPending + fServer.Received();
    fPending.clear();
    fServer.ClearReceived();
    const size_t at = wire.rfind("SYNC\r\n");
    return at == std::string::npos ? wire : wire.substr(0, at);
}

kit_private::ShownView DisplayFixture::View(IrcDisplayWindow* window, const char* name) const
{
    std::optional<kit_private::ShownView> view = fDisplay->View(window, name);
    return view.value_or(kit_private::ShownView{});
}

std::string DisplayFixture::Text(IrcDisplayWindow* window) const
{
    return View(window, "fDisplay").text.str();
}

std::string DisplayFixture::LastLine(IrcDisplayWindow* window) const
{
    std::string text = Text(window);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    const size_t at = text.rfind('\n');
    return at == std::string::npos ? text : text.substr(at + 1);
}

std::optional<kit_private::ShownWindow> DisplayFixture::Shown(IrcDisplayWindow* window) const
{
    return fDisplay->Window(window);
}

std::vector<std::string> DisplayFixture::Rows(IrcDisplayWindow* window) const
{
    std::vector<std::string> rows;
    for (const auto& row : View(window, "fUsers").rows)
        rows.push_back(row.text);
    return rows;
}

} // namespace displaytest
