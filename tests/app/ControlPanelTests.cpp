#include "ControlPanel.h"
#include "TabRequestQueue.h"

#include <DisplayMessages.h>
#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>
#include <KitTestUtil.h>

#include <HeadlessDisplay.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using kittest::RecordingLooper;
using Labels = std::vector<std::string>;

// A conversation window as the panel sees it: its info, posting to a recording looper.
struct FakeWindow
{
    FakeWindow(int32 kind, const char* name)
        : looper(new RecordingLooper(name)),
          info(std::make_shared<IrcWindowInfo>(nullptr, kind, name))
    {
        looper->Run();
        info->SetMessenger(BMessenger(looper), -1);
    }
    ~FakeWindow()
    {
        looper->Lock();
        looper->Quit();
    }

    // What the window was sent with that code, once everything posted so far has arrived.
    size_t Count(uint32 what)
    {
        const size_t before = looper->Count();
        info->Post('SYNC');
        EXPECT_TRUE(looper->WaitForCount(before + 1));
        size_t count = 0;
        for (const BMessage& message : looper->Messages())
            count += message.what == what;
        return count;
    }

    RecordingLooper* looper;
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

    void Add(FakeWindow& window, const char* label)
    {
        fQueue->Push({TabRequestQueue::kAdd, window.info.get(), window.info, label});
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

    Push(TabRequestQueue::kRemove, first);
    EXPECT_EQ(Shown().labels, (Labels{"#chan", "bob"}));
    EXPECT_EQ(IndexOf(first), -1);
    EXPECT_EQ(IndexOf(second), 0);

    Push(TabRequestQueue::kRelabel, second, "#chan (*)");
    Push(TabRequestQueue::kRemove, first); // already gone
    EXPECT_EQ(Shown().labels, (Labels{"#chan (*)", "bob"}));

    // A window asking twice still has one tab.
    Add(peer, "bob");
    EXPECT_EQ(Shown().labels, (Labels{"#chan (*)", "bob"}));
}

TEST_F(ControlPanelTest, OnlyTheUsersChoiceBringsAWindowForward)
{
    FakeWindow server(IrcDisplayWindow::kServerWindow, "irc.example.org");
    FakeWindow peer(IrcDisplayWindow::kPrivateWindow, "bob");
    Add(server, "irc.example.org");
    Add(peer, "bob");
    EXPECT_EQ(Shown().selected, 0);

    // The window's own activation selects its tab without activating it again.
    Push(TabRequestQueue::kSelect, peer);
    EXPECT_EQ(Shown().selected, 1);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 0u);
    EXPECT_EQ(peer.Count(MSG_ACTIVATE), 0u);

    fDisplay.SelectTab(fPanel, "fTabView", 0);
    EXPECT_EQ(Shown().selected, 0);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 1u);
    // A tab added after the others is not selected; the user's first click on it works.
    fDisplay.SelectTab(fPanel, "fTabView", 1);
    EXPECT_EQ(Shown().selected, 1);
    EXPECT_EQ(peer.Count(MSG_ACTIVATE), 1u);

    // Removing the selected tab selects a neighbour, which stays where it is.
    Push(TabRequestQueue::kRemove, peer);
    EXPECT_EQ(Shown().selected, 0);
    EXPECT_EQ(server.Count(MSG_ACTIVATE), 1u);
}

TEST_F(ControlPanelTest, CloseBoxOnlyMinimises)
{
    fDisplay.CloseWindow(fPanel);
    ASSERT_TRUE(fDisplay.Sync(fPanel));
    auto shown = fDisplay.Window(fPanel);
    ASSERT_TRUE(shown.has_value());
    EXPECT_TRUE(shown->minimized);
    EXPECT_FALSE(shown->quit);
    EXPECT_TRUE(fMessenger.IsValid());
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

} // namespace
