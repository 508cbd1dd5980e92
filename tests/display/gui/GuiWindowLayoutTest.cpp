// A channel window's layout under the Qt display server: the Options menu with this
// machine's font families, and a drag of the user list's edge. Saves pictures in build/shots.

#include "../DisplayFixture.h"

#include <IRC.h>
#include <IrcDisplayWindow.h>
#include <QtDisplay.h>
#include <irc.h>

#include <Font.h>

#include <FakeServer.h>
#include <TempDir.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <strings.h>
#include <vector>

extern kit_private::QtDisplay* gDisplay;

namespace displaytest {
namespace {

class GuiWindowLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        IRC_SetDiagnosticSink(nullptr);
        setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1);
        fLooper = new RoutingLooper(&fHost.Router());
        fLooper->Run();
        fSession = std::make_shared<IRC>("me", "me", "rn", "127.0.0.1", fServer.Port(),
                                         new BMessage('Airc'), fLooper, fLooper);
        fList = fHost.Router().Connect(fSession, "127.0.0.1", "21:07", "12/09/2026");
        ASSERT_TRUE(fServer.Accept());
        ASSERT_TRUE(fServer.WaitFor("USER rn host server :rn\r\n"));
        fSession->JoinChannel("#velmor", nullptr, true);
        Feed(":me!u@h JOIN :#velmor\r\n"
             ":irc.test 353 me = #velmor :@zed +amy bob me Carl\r\n"
             ":irc.test 366 me #velmor :End of NAMES list\r\n"
             ":amy!a@h PRIVMSG #velmor :the fonts come from this machine\r\n"
             ":bob!b@h PRIVMSG #velmor :and the list edge can be dragged\r\n");
        auto info = fList->Find("#velmor");
        fWindow = info != nullptr ? info->Window() : nullptr;
        ASSERT_NE(fWindow, nullptr);
        ASSERT_TRUE(gDisplay->Sync(fWindow));
        gDisplay->Flush();
        fTop = gDisplay->TopLevel(fWindow);
        ASSERT_NE(fTop, nullptr);
    }

    void TearDown() override
    {
        fHost.Router().QuitAll("");
        for (int i = 0; i < 300 && !fHost.Router().WaitForWindows(10000); i++)
            gDisplay->Flush();
        fSession.reset();
        if (fLooper->Lock())
            fLooper->Quit();
    }

    void Feed(const std::string& lines)
    {
        static int marker = 0;
        const std::string ping = "layout" + std::to_string(++marker);
        ASSERT_TRUE(fServer.Send(lines + "PING :" + ping + "\r\n"));
        ASSERT_TRUE(fServer.WaitFor("PONG " + ping));
        fLooper->Sync();
        gDisplay->Flush();
    }

    void Settle()
    {
        for (int i = 0; i < 3; i++) {
            QApplication::processEvents();
            ASSERT_TRUE(gDisplay->Sync(fWindow));
            gDisplay->Flush();
        }
    }

    static QMenu* SubmenuOf(QWidget* menu, const QString& title)
    {
        for (QAction* action : menu->actions()) {
            if (action->menu() != nullptr && action->text() == title)
                return action->menu();
        }
        return nullptr;
    }

    // Runs on another display server add their suffix, so both pictures are kept.
    static void Save(const QImage& image, const char* name)
    {
        QDir().mkpath(QStringLiteral(VELMOR_SHOTS_DIR));
        QString file = QString::fromUtf8(name);
        if (const char* suffix = getenv("VELMOR_SHOT_SUFFIX"))
            file.replace(QStringLiteral(".png"), QString::fromUtf8(suffix) + ".png");
        EXPECT_TRUE(image.save(QStringLiteral(VELMOR_SHOTS_DIR "/") + file));
    }

    testsupport::TempDir fHome;
    testsupport::FakeServer fServer;
    TestHost fHost;
    RoutingLooper* fLooper = nullptr;
    std::shared_ptr<IRC> fSession;
    std::shared_ptr<IrcConversationList> fList;
    IrcDisplayWindow* fWindow = nullptr;
    QWidget* fTop = nullptr;
};

TEST_F(GuiWindowLayout, TheOptionsMenuListsThisMachinesFamiliesInOrder)
{
    // What the kit reports of fontconfig, in case-insensitive order.
    std::vector<std::string> families;
    for (int32 i = 0; i < count_font_families(); i++) {
        font_family family;
        ASSERT_EQ(get_font_family(i, &family), B_OK);
        families.emplace_back(family);
    }
    ASSERT_FALSE(families.empty());
    std::stable_sort(families.begin(), families.end(), [](const auto& a, const auto& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });

    auto* bar = fTop->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QMenu* options = SubmenuOf(bar, QStringLiteral("Options"));
    ASSERT_NE(options, nullptr);
    QMenu* channel = SubmenuOf(options, QStringLiteral("Channel Font"));
    ASSERT_NE(channel, nullptr);
    std::vector<std::string> shown;
    QAction* fixedFamily = nullptr;
    font_family fixed;
    be_fixed_font->GetFamilyAndStyle(&fixed, nullptr);
    const QList<QAction*> actions = channel->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Size"));
    EXPECT_TRUE(actions[1]->isSeparator());
    for (int i = 2; i < actions.size(); i++) {
        shown.push_back(actions[i]->text().toStdString());
        if (actions[i]->text() == QString::fromUtf8(fixed))
            fixedFamily = actions[i];
    }
    EXPECT_EQ(shown, families);
    // The window's text font is marked (as the family's item is drawn in it).
    ASSERT_NE(fixedFamily, nullptr) << fixed;
    EXPECT_EQ(fixedFamily->font().family(), QString::fromUtf8(fixed));

    // Open Options, then the channel font: one picture of the window with both menus.
    bar->setActiveAction(bar->actions().at(1));
    QApplication::processEvents();
    options->popup(
        fTop->mapToGlobal(QPoint(bar->actionGeometry(bar->actions().at(1)).left(), bar->height())));
    options->setActiveAction(channel->menuAction());
    channel->popup(options->mapToGlobal(options->actionGeometry(channel->menuAction()).topRight()));
    QApplication::processEvents();
    ASSERT_TRUE(options->isVisible());
    ASSERT_TRUE(channel->isVisible());

    const QRect area = QRect(fTop->mapToGlobal(QPoint(0, 0)), fTop->size())
                           .united(options->geometry())
                           .united(channel->geometry());
    QImage picture(area.size(), QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    painter.drawImage(fTop->mapToGlobal(QPoint(0, 0)) - area.topLeft(), fTop->grab().toImage());
    painter.drawImage(options->geometry().topLeft() - area.topLeft(), options->grab().toImage());
    painter.drawImage(channel->geometry().topLeft() - area.topLeft(), channel->grab().toImage());
    painter.end();
    Save(picture, "channel-window-options-menu.png");
    channel->hide();
    options->hide();
}

TEST_F(GuiWindowLayout, DraggingTheListEdgeWidensTheListAndNarrowsTheScrollback)
{
    QWidget* edge = gDisplay->Widget(fWindow, "fEdge");
    QWidget* list = gDisplay->Widget(fWindow, "fUserScroll");
    QWidget* text = gDisplay->Widget(fWindow, "fDisplay");
    ASSERT_NE(edge, nullptr);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(text, nullptr);
    Save(fTop->grab().toImage(), "channel-window-before-drag.png");

    // The resize cursor sits on the edge of the active window. The server window, shown
    // first, may report its activation after the channel's: activate each in turn.
    IrcDisplayWindow* server = fList->Server()->Window();
    for (QWidget* top : {gDisplay->TopLevel(server), fTop}) {
        top->activateWindow();
        for (int i = 0; i < 50 && !top->isActiveWindow(); i++) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        ASSERT_TRUE(gDisplay->Sync(server));
        Settle();
    }
    if (fTop->isActiveWindow()) {
        Settle();

        EXPECT_EQ(edge->cursor().shape(), Qt::BitmapCursor);
        EXPECT_EQ(edge->cursor().hotSpot(), QPoint(7, 7));
    } else {
        printf("The window did not become active: the edge's cursor is not checked.\n");
    }

    const int listLeft = list->geometry().left();
    const int listWidth = list->width();
    const int textWidth = text->width();
    const QPoint grab(2, edge->height() / 2);
    auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(local), QPointF(edge->mapToGlobal(local)), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(edge, &event);
    };
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
    // Two steps, each measured where the edge is by then.
    for (int step = 0; step < 2; step++) {
        Settle();
        send(QEvent::MouseMove, grab - QPoint(30, 0), Qt::LeftButton);
    }
    Settle();
    send(QEvent::MouseButtonRelease, grab, Qt::NoButton);
    Settle();

    EXPECT_EQ(list->geometry().left(), listLeft - 60);
    EXPECT_EQ(list->width(), listWidth + 60);
    EXPECT_EQ(text->width(), textWidth - 60);
    Save(fTop->grab().toImage(), "channel-window-after-drag.png");
}

} // namespace
} // namespace displaytest
