#pragma once

// Conversation windows as a person meets them, headless: a session "me" (real name "rn")
// connected by its server window's own connect thread to a recording fake server, a router
// and window host standing in for the main view, and helpers to feed server lines, type
// lines and read what was shown and what was sent.

#include <HeadlessDisplay.h>
#include <IrcDisplayWindow.h>
#include <IrcRouter.h>
#include <IrcWindowHost.h>
#include <IrcWindowInfo.h>
#include <Looper.h>

#include <FakeServer.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class IRC;

namespace displaytest {

// The main view's part for the windows: tabs recorded by window, servers in a router.
class TestHost : public IrcWindowHost
{
public:
    TestHost();

    void AddTab(const std::shared_ptr<IrcWindowInfo>& window, const char* label) override;
    void RemoveTab(const IrcWindowInfo* window) override;
    void SetTabLabel(const IrcWindowInfo* window, const char* label) override;
    void SelectTab(const IrcWindowInfo* window) override;
    std::vector<std::shared_ptr<IrcConversationList>> ServerList() const override;
    void RemoveServer(const IrcWindowInfo* serverWindow) override;

    IrcRouter& Router() { return fRouter; }
    // Labels of the open tabs, in the order they were added.
    std::vector<std::string> TabLabels() const;
    std::optional<std::string> TabLabel(const IrcWindowInfo* window) const;
    int32 RemovedServers() const;
    // The windows whose tabs were selected, in order.
    std::vector<const IrcWindowInfo*> SelectedTabs() const;
    // Waits until every window that ever had a tab has been deleted by its thread.
    void WaitForWindowThreads() const;

private:
    IrcRouter fRouter;
    mutable std::mutex fLock;
    std::vector<std::pair<const IrcWindowInfo*, std::string>> fTabs;
    std::vector<std::shared_ptr<IrcWindowInfo>> fSeen;
    std::vector<const IrcWindowInfo*> fSelected;
    int32 fRemovedServers = 0;
};

// The looper the session's messages go to: routes them as the main view does.
class RoutingLooper : public BLooper
{
public:
    explicit RoutingLooper(IrcRouter* router);
    void MessageReceived(BMessage* message) override;
    // Returns once every message posted before the call was handled.
    void Sync();

private:
    IrcRouter* fRouter;
    std::mutex fLock;
    std::condition_variable fHandled;
    int64 fPosted = 0;
    int64 fSynced = 0;
};

class DisplayFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Windows
    IrcDisplayWindow* ServerWindow() const;
    // The conversation of this server with that name (any case), or nullptr.
    IrcDisplayWindow* Conversation(const char* name) const;
    // Opens a channel window as "/join" does and confirms the user's own JOIN.
    IrcDisplayWindow* Join(const char* channel, const char* names = nullptr);
    // A private window, as a message from nick would open it.
    IrcDisplayWindow* OpenPrivate(const char* nick);

    // Server lines (without CR LF) through the real reader thread and routing; returns once
    // every window has handled what they caused.
    void Feed(const std::string& line);
    void Feed(const std::vector<std::string>& lines);
    // Waits until the router and every window have handled what is pending.
    void Settle();

    // The user types a line into a window's entry field and presses Enter.
    void Enter(IrcDisplayWindow* window, const char* line);
    // The bytes the client sent since the last call.
    std::string Wire();

    // What a window shows
    kit_private::ShownView View(IrcDisplayWindow* window, const char* name) const;
    std::string Text(IrcDisplayWindow* window) const;
    // The shown text's last line (without its line end).
    std::string LastLine(IrcDisplayWindow* window) const;
    std::optional<kit_private::ShownWindow> Shown(IrcDisplayWindow* window) const;
    // Row texts of the user list, top to bottom.
    std::vector<std::string> Rows(IrcDisplayWindow* window) const;

    testsupport::TempDir fHome;
    std::unique_ptr<kit_private::HeadlessDisplay> fDisplay;
    testsupport::FakeServer fServer;
    TestHost fHost;
    RoutingLooper* fRouterLooper = nullptr;
    std::shared_ptr<IRC> fSession;
    std::shared_ptr<IrcConversationList> fList;
    // Alerts are answered with this button (and recorded by the display).
    std::atomic<int32> fAlertAnswer{0};

private:
    int32 fSyncs = 0;
    std::string fPending; // bytes the client sent while lines were fed
};

} // namespace displaytest
