// The control panel as the Qt display server shows it, with the tabs of three windows that
// stand for a server, a channel and a private conversation. Saves build/shots/control-panel.png.

#include "ControlPanel.h"
#include "TabRequestQueue.h"

#include <DisplayMessages.h>
#include <IrcDisplayWindow.h>
#include <IrcWindowInfo.h>

#include <PanelWidget.h>
#include <QtDisplay.h>

#include <GuiTestMain.h>

#include <Message.h>
#include <Messenger.h>
#include <Window.h>

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QTabBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using guitest::WaitFor;

// A conversation window as far as the panel cares: it counts the activations its tab asks
// for and, as a conversation window does, asks for its own tab to be selected.
class StandInWindow : public BWindow
{
public:
    StandInWindow(BRect frame, const char* name, int32 kind, std::shared_ptr<TabRequestQueue> tabs)
        : BWindow(frame, name, B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0),
          fInfo(std::make_shared<IrcWindowInfo>(nullptr, kind, name)), fTabs(std::move(tabs))
    {
        Run();
        fInfo->SetMessenger(BMessenger(this), Thread());
    }

    void MessageReceived(BMessage* message) override
    {
        if (message->what != MSG_ACTIVATE) {
            BWindow::MessageReceived(message);
            return;
        }
        activations++;
        fTabs->Push({TabRequestQueue::kSelect, fInfo.get(), nullptr, {}});
    }

    const std::shared_ptr<IrcWindowInfo>& Info() const { return fInfo; }
    std::atomic<int> activations{0};

private:
    std::shared_ptr<IrcWindowInfo> fInfo;
    std::shared_ptr<TabRequestQueue> fTabs;
};

void QuitWindow(BWindow* window)
{
    BMessenger messenger(window);
    if (messenger.LockTarget())
        window->Quit();
}

TEST(GuiControlPanel, ThreeWindowsThreeReadableTabs)
{
    auto tabs = std::make_shared<TabRequestQueue>();
    auto* panel = new ControlPanel(tabs);
    const struct
    {
        const char* name;
        int32 kind;
    } conversations[] = {{"irc.example.org", IrcDisplayWindow::kServerWindow},
                         {"#velmor", IrcDisplayWindow::kChannelWindow},
                         {"bob", IrcDisplayWindow::kPrivateWindow}};
    std::vector<StandInWindow*> windows;
    float top = 220;
    for (const auto& conversation : conversations) {
        auto* window = new StandInWindow(BRect(100, top, 400, top + 100), conversation.name,
                                         conversation.kind, tabs);
        top += 20;
        windows.push_back(window);
        tabs->Push(
            {TabRequestQueue::kAdd, window->Info().get(), window->Info(), conversation.name});
    }
    ASSERT_TRUE(gDisplay->Sync(panel));
    gDisplay->Flush();

    QWidget* shownPanel = gDisplay->TopLevel(panel);
    ASSERT_NE(shownPanel, nullptr);
    ASSERT_TRUE(WaitFor([shownPanel] { return shownPanel->isVisible(); }));
    auto* strip = qobject_cast<kit_private::PanelWidget*>(gDisplay->Widget(panel, "fTabView"));
    ASSERT_NE(strip, nullptr);
    QTabBar* bar = strip->TabBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(WaitFor([bar] { return bar->count() == 3; }));

    // The panel is as high as its tabs and the scroll bar under them.
    ASSERT_TRUE(panel->Lock());
    const BRect frame = panel->Frame();
    panel->Unlock();
    EXPECT_EQ(shownPanel->size(),
              QSize(static_cast<int>(frame.Width()) + 1, static_cast<int>(frame.Height()) + 1));
    EXPECT_LT(frame.Height(), 80);

    // Every tab shows its whole label inside the panel.
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(conversations[i].name);
        EXPECT_EQ(bar->tabText(i), QString::fromUtf8(conversations[i].name));
        const QRect tab(bar->mapTo(shownPanel, bar->tabRect(i).topLeft()), bar->tabRect(i).size());
        EXPECT_TRUE(shownPanel->rect().contains(tab));
        EXPECT_GE(tab.width(), QFontMetrics(bar->font()).horizontalAdvance(bar->tabText(i)));
        EXPECT_GE(tab.height(), QFontMetrics(bar->font()).height());
    }

    // A click on the channel's tab brings its window forward once; the window then has its
    // tab selected, which activates nothing more.
    const QPoint where = bar->tabRect(1).center();
    QMouseEvent press(QEvent::MouseButtonPress, where, bar->mapToGlobal(where), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, where, bar->mapToGlobal(where), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
    ASSERT_TRUE(WaitFor([&] { return windows[1]->activations.load() == 1; }));
    ASSERT_TRUE(gDisplay->Sync(windows[1]));
    ASSERT_TRUE(gDisplay->Sync(panel));
    gDisplay->Flush();
    ASSERT_TRUE(WaitFor([bar] { return bar->currentIndex() == 1; }));
    EXPECT_EQ(windows[0]->activations.load(), 0);
    EXPECT_EQ(windows[1]->activations.load(), 1);
    EXPECT_EQ(windows[2]->activations.load(), 0);

    QDir().mkpath(QStringLiteral(VELMOR_SHOTS_DIR));
    EXPECT_TRUE(shownPanel->grab().toImage().save(QStringLiteral(VELMOR_SHOTS_DIR) +
                                                  QStringLiteral("/control-panel.png")));

    for (StandInWindow* window : windows)
        QuitWindow(window);
    QuitWindow(panel);
    gDisplay->Flush();
}

} // namespace
