#include "AppFixture.h"
#include "ControlPanel.h"
#include "TabRequestQueue.h"

#include <DisplayMessages.h>
#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>
#include <KitTestUtil.h>

#include <FakeServer.h>

#include <AppDefs.h>
#include <Application.h>
#include <HeadlessDisplay.h>
#include <InterfaceDefs.h>
#include <Messenger.h>
#include <Tab.h>
#include <TabView.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using kittest::RecordingLooper;
using Labels = std::vector<std::string>;

// Records what it is sent; on MSG_ACTIVATE it first does what a conversation window does as
// it becomes active (asks for its tab to be selected), when told to.
class WindowLooper : public RecordingLooper
{
public:
    using RecordingLooper::RecordingLooper;
    void MessageReceived(BMessage* message) override
    {
        if (message->what == MSG_ACTIVATE && onActivate)
            onActivate();
        RecordingLooper::MessageReceived(message);
    }
    std::function<void()> onActivate; // set before Run()
};

// A conversation window as the panel sees it: its info, posting to a recording looper.
struct FakeWindow
{
    FakeWindow(int32 kind, const char* name, std::function<void(FakeWindow&)> onActivate = {})
        : looper(new WindowLooper(name)), info(std::make_shared<IrcWindowInfo>(nullptr, kind, name))
    {
        if (onActivate)
            looper->onActivate = [this, onActivate] { onActivate(*this); };
        looper->Run();
        info->SetMessenger(BMessenger(looper), -1);
    }
    ~FakeWindow()
    {
        looper->Lock();
        looper->Quit();
    }

    // What the window was sent with that code, once everything posted so far has arrived.
    // What the window has been sent so far: a marker of its own is waited for, since an
    // earlier marker may still be queued behind messages the panel sent since.
    size_t Count(uint32 what)
    {
        static std::atomic<int64> serial{0};
        const int64 mine = ++serial;
        BMessage marker('SYNC');
        marker.AddInt64("serial", mine);
        info->Post(&marker);
        auto arrived = [&] {
            for (const BMessage& message : looper->Messages()) {
                int64 got = 0;
                if (message.what == 'SYNC' && message.FindInt64("serial", &got) == B_OK &&
                    got == mine)
                    return true;
            }
            return false;
        };
        EXPECT_TRUE(kittest::WaitUntil(arrived));
        size_t count = 0;
        for (const BMessage& message : looper->Messages())
            count += message.what == what;
        return count;
    }

    WindowLooper* looper;
    std::shared_ptr<IrcWindowInfo> info;
};

class ControlPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fPanel = new ControlPanel(fQueue);
        fMessenger = BMessenger(fPanel);
    }

    void TearDown() override
    {
        if (fMessenger.LockTarget())
            fPanel->Quit();
    }

    void Add(FakeWindow& window, const char* label) { Add(*fQueue, window, label); }
    static void Add(TabRequestQueue& queue, FakeWindow& window, const std::string& label)
    {
        queue.Push({TabRequestQueue::kAdd, window.info.get(), window.info, label});
    }
    void Push(TabRequestQueue::Kind kind, FakeWindow& window, const char* label = "")
    {
        fQueue->Push({kind, window.info.get(), nullptr, label});
    }

    kit_private::change::Tabs Shown()
    {
        EXPECT_TRUE(fDisplay.Sync(fPanel));
        auto view = fDisplay.View(fPanel, "fTabView");
        return view ? view->tabs : kit_private::change::Tabs{};
    }

    int32 IndexOf(const FakeWindow& window)
    {
        fDisplay.Sync(fPanel);
        fPanel->Lock();
        const int32 index = fPanel->IndexOf(window.info.get());
        fPanel->Unlock();
        return index;
    }

    kit_private::HeadlessDisplay fDisplay;
    std::shared_ptr<TabRequestQueue> fQueue = std::make_shared<TabRequestQueue>();
    ControlPanel* fPanel = nullptr;
    BMessenger fMessenger;
};

TEST_F(ControlPanelTest, IsAStripOfTabsThatKeepsItsSize)
{
    ASSERT_TRUE(fDisplay.Sync(fPanel));
    auto window = fDisplay.Window(fPanel);
    ASSERT_TRUE(window.has_value());
    auto tabView = fDisplay.View(fPanel, "fTabView");
    ASSERT_TRUE(tabView.has_value());
    const float tabHeight = tabView->tabs.tabHeight;
    ASSERT_GT(tabHeight, 0);

    EXPECT_EQ(window->title, "ControlPanel");
    EXPECT_EQ(window->look, static_cast<uint32>(B_TITLED_WINDOW_LOOK));
    EXPECT_EQ(window->feel, static_cast<uint32>(B_NORMAL_WINDOW_FEEL));
    EXPECT_EQ(window->flags,
              static_cast<uint32>(B_NOT_ZOOMABLE | B_NOT_V_RESIZABLE | B_WILL_ACCEPT_FIRST_CLICK));
    EXPECT_TRUE(window->visible);
    EXPECT_EQ(window->frame, BRect(100, 100, 500, 100 + tabHeight + 10 + 14));
    EXPECT_EQ(tabView->flags, 0xAE000000u);
    const kit_private::ShownView* scroll = window->Find("sv");
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->kind, kit_private::ViewKind::ScrollView);
    // The tab strip fills the window above the scroll bar; the frame around it lies outside.
    BRect strip = tabView->frame;
    strip.OffsetBy(scroll->frame.LeftTop());
    EXPECT_EQ(strip, BRect(0, 0, 400, tabHeight + 10));
    EXPECT_NE(window->Find("_HSB_"), nullptr);
    EXPECT_EQ(window->Find("_VSB_"), nullptr);

    // Tabs come and go; the panel stays as it is.
    std::vector<std::unique_ptr<FakeWindow>> windows;
    for (int i = 0; i < 12; i++) {
        const std::string name = "#channel-" + std::to_string(i);
        windows.push_back(
            std::make_unique<FakeWindow>(IrcDisplayWindow::kChannelWindow, name.c_str()));
        Add(*windows.back(), name.c_str());
    }
    EXPECT_EQ(Shown().labels.size(), 12u);
    for (int i = 0; i < 12; i += 2)
        Push(TabRequestQueue::kRemove, *windows[i]);
    EXPECT_EQ(Shown().labels.size(), 6u);
    EXPECT_EQ(fDisplay.Window(fPanel)->frame, window->frame);
    // A tab's view is a 1-by-1 view named with its label.
    ASSERT_TRUE(fPanel->Lock());
    BView* contents = fPanel->TabView()->ViewForTab(1);
    ASSERT_NE(contents, nullptr);
    EXPECT_STREQ(contents->Name(), "#channel-3");
    EXPECT_EQ(contents->Frame(), BRect(0, 0, 1, 1));
    EXPECT_EQ(contents->Flags(), 0u);
    fPanel->Unlock();
}

TEST_F(ControlPanelTest, TabsBelongToWindowsNotToLabels)
{
    FakeWindow first(IrcDisplayWindow::kChannelWindow, "#chan");
    FakeWindow second(IrcDisplayWindow::kChannelWindow, "#chan"); // another server's
    FakeWindow peer(IrcDisplayWindow::kPrivateWindow, "bob");
    Add(first, "#chan");
    Add(second, "#chan");
    Add(peer, "bob");
    EXPECT_EQ(Shown().labels, (Labels{"#chan", "#chan", "bob"}));
    EXPECT_EQ(first.Count(MSG_TAB_CREATED), 1u);
    EXPECT_EQ(peer.Count(MSG_TAB_CREATED), 1u);

    // Closing one of two same-named windows leaves the other's tab.
    Push(TabRequestQueue::kRemove, first);
    EXPECT_EQ(Shown().labels, (Labels{"#chan", "bob"}));
    EXPECT_EQ(IndexOf(first), -1);
    EXPECT_EQ(IndexOf(second), 0);

    Push(TabRequestQueue::kRelabel, first, "#chan (*)"); // already gone
    Push(TabRequestQueue::kRemove, first);
    EXPECT_EQ(Shown().labels, (Labels{"#chan", "bob"}));

    // A window asking twice still has one tab.
    Add(peer, "bob");
    EXPECT_EQ(Shown().labels, (Labels{"#chan", "bob"}));
    EXPECT_EQ(peer.Count(MSG_TAB_CREATED), 1u);
}

TEST_F(ControlPanelTest, TheUnreadMarkComesAndGoesOnTheSameTab)
{
    FakeWindow server(IrcDisplayWindow::kServerWindow, "irc.example.org");
    FakeWindow channel(IrcDisplayWindow::kChannelWindow, "#chan");
    Add(server, "irc.example.org");
    Add(channel, "#chan");
    ASSERT_EQ(Shown().selected, 0);

    // Text in the inactive window marks its tab; activating it restores the label and
    // selects the tab, in the order the window asked.
    Push(TabRequestQueue::kRelabel, channel, "#chan (*)");
    EXPECT_EQ(Shown().labels, (Labels{"irc.example.org", "#chan (*)"}));
    EXPECT_EQ(Shown().selected, 0);
    Push(TabRequestQueue::kRelabel, channel, "#chan");
    Push(TabRequestQueue::kSelect, channel);
    auto shown = Shown();
    EXPECT_EQ(shown.labels, (Labels{"irc.example.org", "#chan"}));
    EXPECT_EQ(shown.selected, 1);
    EXPECT_EQ(IndexOf(channel), 1);
    ASSERT_TRUE(fPanel->Lock());
    EXPECT_EQ(fPanel->TabView()->FocusTab(), 1);
    EXPECT_STREQ(fPanel->TabView()->TabAt(1)->View()->Name(), "#chan");
    fPanel->Unlock();
    EXPECT_EQ(channel.Count(MSG_ACTIVATE), 0u);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 0u);
}

TEST_F(ControlPanelTest, OnlyTheUsersChoiceBringsAWindowForward)
{
    FakeWindow server(IrcDisplayWindow::kServerWindow, "irc.example.org");
    FakeWindow peer(IrcDisplayWindow::kPrivateWindow, "bob");
    Add(server, "irc.example.org");
    Add(peer, "bob");
    EXPECT_EQ(Shown().selected, 0);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 0u); // the first tab is selected as it is added

    // The window's own activation selects its tab without activating it again.
    Push(TabRequestQueue::kSelect, peer);
    EXPECT_EQ(Shown().selected, 1);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 0u);
    EXPECT_EQ(peer.Count(MSG_ACTIVATE), 0u);

    fDisplay.SelectTab(fPanel, "fTabView", 0);
    EXPECT_EQ(Shown().selected, 0);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 1u);
    // A click on the tab already selected still brings its window forward.
    fDisplay.SelectTab(fPanel, "fTabView", 0);
    EXPECT_EQ(Shown().selected, 0);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 2u);
    // A tab added after the others is not selected; the user's first click on it works.
    fDisplay.SelectTab(fPanel, "fTabView", 1);
    EXPECT_EQ(Shown().selected, 1);
    EXPECT_EQ(peer.Count(MSG_ACTIVATE), 1u);

    // Removing the selected tab selects a neighbour, which stays where it is; the panel's
    // own selections leave no mark behind that would swallow the next click.
    Push(TabRequestQueue::kRemove, peer);
    EXPECT_EQ(Shown().selected, 0);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 2u);
    fDisplay.SelectTab(fPanel, "fTabView", 0);
    EXPECT_EQ(Shown().selected, 0);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 3u);
}

TEST_F(ControlPanelTest, AClickActivatesItsWindowOnceThoughTheWindowSelectsItsTab)
{
    // Each window, once activated, asks for its tab as a conversation window does.
    auto selectOwnTab = [this](FakeWindow& window) {
        fQueue->Push({TabRequestQueue::kSelect, window.info.get(), nullptr, {}});
    };
    FakeWindow server(IrcDisplayWindow::kServerWindow, "irc.example.org", selectOwnTab);
    FakeWindow channel(IrcDisplayWindow::kChannelWindow, "#chan", selectOwnTab);
    FakeWindow peer(IrcDisplayWindow::kPrivateWindow, "bob", selectOwnTab);
    Add(server, "irc.example.org");
    Add(channel, "#chan");
    Add(peer, "bob");
    ASSERT_EQ(Shown().labels.size(), 3u);

    const struct
    {
        int32 tab;
        FakeWindow* window;
    } clicks[] = {{2, &peer}, {1, &channel}, {1, &channel}, {0, &server}, {2, &peer}};
    std::map<FakeWindow*, size_t> expected;
    for (const auto& click : clicks) {
        SCOPED_TRACE("click on tab " + std::to_string(click.tab));
        fDisplay.SelectTab(fPanel, "fTabView", click.tab);
        expected[click.window]++;
        ASSERT_TRUE(fDisplay.Sync(fPanel));
        // The window has handled its activation (and asked for its tab) ...
        EXPECT_EQ(click.window->Count(MSG_ACTIVATE), expected[click.window]);
        // ... which the panel has carried out without sending anybody another activation.
        EXPECT_EQ(Shown().selected, click.tab);
        for (FakeWindow* window : {&server, &channel, &peer})
            EXPECT_EQ(window->Count(MSG_ACTIVATE), expected[window]);
    }
}

TEST_F(ControlPanelTest, RequestsFromManyThreadsAreCarriedOutInTheOrderEachAsked)
{
    constexpr int kThreads = 6;
    constexpr int kWindowsEach = 5;
    std::vector<std::vector<std::unique_ptr<FakeWindow>>> windows(kThreads);
    auto name = [](int thread, int window) {
        return "#t" + std::to_string(thread) + "-" + std::to_string(window);
    };
    for (int t = 0; t < kThreads; t++) {
        for (int w = 0; w < kWindowsEach; w++)
            windows[t].push_back(
                std::make_unique<FakeWindow>(IrcDisplayWindow::kChannelWindow, name(t, w).c_str()));
    }

    // Each thread opens its windows, marks them unread, then closes the odd ones and clears
    // the mark of the others, all while the other threads do the same.
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; t++) {
        threads.emplace_back([&, t] {
            while (!go.load())
                std::this_thread::yield();
            for (int w = 0; w < kWindowsEach; w++) {
                FakeWindow& window = *windows[t][w];
                Add(*fQueue, window, name(t, w));
                fQueue->Push(
                    {TabRequestQueue::kRelabel, window.info.get(), nullptr, name(t, w) + " (*)"});
            }
            for (int w = 0; w < kWindowsEach; w++) {
                FakeWindow& window = *windows[t][w];
                if (w % 2 == 1)
                    fQueue->Push({TabRequestQueue::kRemove, window.info.get(), nullptr, {}});
                else
                    fQueue->Push(
                        {TabRequestQueue::kRelabel, window.info.get(), nullptr, name(t, w)});
            }
        });
    }
    go.store(true);
    for (std::thread& thread : threads)
        thread.join();

    const Labels shown = Shown().labels;
    ASSERT_EQ(shown.size(), static_cast<size_t>(kThreads * ((kWindowsEach + 1) / 2)));
    for (int t = 0; t < kThreads; t++) {
        SCOPED_TRACE("thread " + std::to_string(t));
        int32 previous = -1;
        for (int w = 0; w < kWindowsEach; w++) {
            const int32 index = IndexOf(*windows[t][w]);
            if (w % 2 == 1) {
                EXPECT_EQ(index, -1);
                continue;
            }
            ASSERT_GE(index, 0);
            EXPECT_EQ(shown[static_cast<size_t>(index)], name(t, w));
            EXPECT_GT(index, previous); // a thread's tabs stay in the order it added them
            previous = index;
        }
    }
}

TEST_F(ControlPanelTest, TheCloseBoxOnlyMinimises)
{
    FakeWindow peer(IrcDisplayWindow::kPrivateWindow, "bob");
    Add(peer, "bob");
    fDisplay.CloseWindow(fPanel);
    ASSERT_TRUE(fDisplay.Sync(fPanel));
    auto shown = fDisplay.Window(fPanel);
    ASSERT_TRUE(shown.has_value());
    EXPECT_TRUE(shown->minimized);
    EXPECT_FALSE(shown->quit);
    EXPECT_TRUE(fMessenger.IsValid());

    // Restored, it is the same panel with the same tabs, still taking requests.
    BMessage restore(B_MINIMIZE);
    restore.AddBool("minimize", false);
    fMessenger.SendMessage(&restore);
    FakeWindow channel(IrcDisplayWindow::kChannelWindow, "#chan");
    Add(channel, "#chan");
    EXPECT_EQ(Shown().labels, (Labels{"bob", "#chan"}));
    EXPECT_FALSE(fDisplay.Window(fPanel)->minimized);
}

class QuittingApp : public BApplication
{
public:
    QuittingApp() : BApplication("application/x-vnd.test-ControlPanel") {}
    void ReadyToRun() override { ready.store(true); }
    std::atomic<bool> ready{false};
};

TEST(ControlPanelQuit, GoesWithTheApplicationThatAsksEveryWindow)
{
    kit_private::HeadlessDisplay display;
    auto queue = std::make_shared<TabRequestQueue>();
    std::atomic<QuittingApp*> app{nullptr};
    std::thread runner([&] {
        auto* made = new QuittingApp();
        app.store(made);
        made->Run();
    });
    ASSERT_TRUE(kittest::WaitUntil([&] { return app.load() != nullptr && app.load()->ready; }));
    auto* panel = new ControlPanel(queue);
    BMessenger messenger(panel);
    ASSERT_TRUE(display.Sync(panel));

    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    EXPECT_TRUE(kittest::WaitUntil([&] { return !messenger.IsValid(); }, 5000000));
    // A panel that refused would keep the application running: let it go.
    if (messenger.LockTarget()) {
        panel->Quit();
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    }
    runner.join();
    delete app.load();
}

TEST(TabRequestQueue, WaitsForThePanelAndDropsRequestsOnceItHasGone)
{
    kit_private::HeadlessDisplay display;
    auto queue = std::make_shared<TabRequestQueue>();
    FakeWindow peer(IrcDisplayWindow::kPrivateWindow, "bob");
    queue->Push({TabRequestQueue::kAdd, peer.info.get(), peer.info, "bob"});
    EXPECT_EQ(queue->CountPending(), 1u);

    auto* panel = new ControlPanel(queue);
    ASSERT_TRUE(display.Sync(panel));
    EXPECT_EQ(display.View(panel, "fTabView")->tabs.labels, Labels{"bob"});
    EXPECT_EQ(queue->CountPending(), 0u);

    BMessenger messenger(panel);
    ASSERT_TRUE(messenger.LockTarget());
    panel->Quit();
    const long before = peer.info.use_count();
    queue->Push({TabRequestQueue::kAdd, peer.info.get(), peer.info, "bob"});
    EXPECT_EQ(queue->CountPending(), 0u);
    EXPECT_EQ(peer.info.use_count(), before); // nothing holds the window's info any more
}

// The whole application: real conversation windows of two servers with the same host name.
using ControlPanelAppTest = apptest::AppTest;

TEST_F(ControlPanelAppTest, ActivatingAWindowSelectsItsOwnTab)
{
    testsupport::FakeServer one;
    testsupport::FakeServer two;
    SetIdentity();
    ChooseServer(one.Port());
    PressConnect();
    ASSERT_TRUE(one.Accept());
    ChooseServer(two.Port());
    PressConnect();
    ASSERT_TRUE(two.Accept());
    IrcDisplayWindow* first = ServerWindow(0);
    IrcDisplayWindow* second = ServerWindow(1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(kittest::WaitUntil([&] { return PanelTabs().labels.size() == 2; }));
    EXPECT_EQ(PanelTabs().labels, (Labels{"127.0.0.1", "127.0.0.1"}));

    for (auto [window, expected] :
         {std::pair{second, 1}, std::pair{first, 0}, std::pair{second, 1}}) {
        const int tab = expected;
        fDisplay.ActivateWindow(window, true);
        ASSERT_TRUE(fDisplay.Sync(window));
        EXPECT_TRUE(kittest::WaitUntil([&] { return PanelTabs().selected == tab; }))
            << "tab " << tab;
    }
}

} // namespace
