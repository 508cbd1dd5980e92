// The "Login Options" window and the server configuration window as the Qt display server
// shows them, with a stored identity and server list; a colour dropped on the login tab.
// Saves pictures in build/shots.

#include "IrcMainView.h"
#include "IrcSelectWindow.h"

#include <ServerConfigWindow.h>

#include <PanelWidget.h>
#include <QtDisplay.h>

#include <GuiTestMain.h>
#include <TextControlWidget.h>
#include <irc.h>

#include <TempDir.h>

#include <IrcSettingsFile.h>

#include <Message.h>
#include <Messenger.h>
#include <View.h>
#include <Window.h>

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace {

QLineEdit* Editor(const BWindow* window, const char* field)
{
    auto* control = qobject_cast<kit_private::TextControlWidget*>(gDisplay->Widget(window, field));
    return control != nullptr ? control->Editor() : nullptr;
}

using guitest::WaitFor;

void SaveShot(QWidget* top, const char* name)
{
    QDir().mkpath(QStringLiteral(VELMOR_SHOTS_DIR));
    EXPECT_TRUE(top->grab().toImage().save(QStringLiteral(VELMOR_SHOTS_DIR "/") + name));
}

class GuiLoginWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        IRC_SetDiagnosticSink(nullptr);
        setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1);
        const std::string dir = fHome.Path() + "/Velmor";
        mkdir(dir.c_str(), 0755);
        std::ofstream(dir + "/ServerSettings") << "irc.libera.chat , 6667 , Libera\n"
                                                  "irc.oftc.net , 6667 , OFTC\n"
                                                  "127.0.0.1 , 6667 , This machine\n";
        IrcSettingsFile file;
        ASSERT_EQ(file.OpenWithMigration(), B_OK);
        file.WriteString("Nick", "velmor");
        file.WriteString("RealString", "Velmor User");
        file.WriteString("UserString", "velmor");
        file.WriteString("ServerString", "irc.oftc.net");
    }

    void Open()
    {
        fWindow = new IrcSelectWindow();
        ASSERT_TRUE(gDisplay->Sync(fWindow));
        gDisplay->Flush();
    }

    void Close()
    {
        if (fWindow == nullptr)
            return;
        BMessenger messenger(nullptr, fWindow);
        if (messenger.LockTarget())
            fWindow->Quit();
        fWindow = nullptr;
        gDisplay->Flush();
    }

    void TearDown() override { Close(); }

    testsupport::TempDir fHome;
    IrcSelectWindow* fWindow = nullptr;
};

TEST_F(GuiLoginWindow, TheLoginTabAndTheServerConfigurationWindow)
{
    Open();
    QWidget* top = gDisplay->TopLevel(fWindow);
    ASSERT_NE(top, nullptr);
    ASSERT_TRUE(WaitFor([top] { return top->isVisible(); }));
    auto* nick = Editor(fWindow, "fNickName");
    ASSERT_NE(nick, nullptr);
    EXPECT_EQ(nick->text(), QStringLiteral("velmor"));
    // Nothing of the login tab is cut off by the window.
    for (const char* name : {"fNickName", "fServer", "fConnect", "fOkay", "fVersion"}) {
        QWidget* widget = gDisplay->Widget(fWindow, name);
        ASSERT_NE(widget, nullptr) << name;
        QRect inTop(widget->mapTo(top, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(top->rect().contains(inTop)) << name;
    }
    SaveShot(top, "login-window.png");

    BMessenger view(fWindow->MainView(), fWindow);
    ServerConfigWindow* config = fWindow->MainView()->ConfigWindow();
    view.SendMessage('Adaj');
    ASSERT_TRUE(WaitFor([config] {
        QWidget* shown = gDisplay->TopLevel(config);
        return shown != nullptr && shown->isVisible();
    }));
    ASSERT_TRUE(gDisplay->Sync(config));
    gDisplay->Flush();
    // Letters typed into the port field are refused by the editor itself.
    auto* port = Editor(config, "fPort");
    ASSERT_NE(port, nullptr);
    port->setFocus();
    port->insert(QStringLiteral("66a67"));
    EXPECT_EQ(port->text(), QString());
    port->insert(QStringLiteral("6697"));
    EXPECT_EQ(port->text(), QStringLiteral("6697"));
    SaveShot(gDisplay->TopLevel(config), "server-config-window.png");
}

TEST_F(GuiLoginWindow, AColourDroppedOnTheLoginTabIsKeptForTheNextStart)
{
    Open();
    QWidget* box = gDisplay->Widget(fWindow, "Login Options");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitFor([box] { return box->isVisible(); }));
    QMimeData data;
    data.setColorData(QColor(200, 230, 255));
    QPoint where(10, box->height() - 10);
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QDropEvent drop(QPointF(where), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
    ASSERT_TRUE(WaitFor(
        [box, where] { return box->grab().toImage().pixelColor(where) == QColor(200, 230, 255); }));
    Close();

    Open();
    QWidget* again = gDisplay->Widget(fWindow, "Login Options");
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(WaitFor([again] { return again->isVisible(); }));
    ASSERT_TRUE(WaitFor([again, where] {
        return again->grab().toImage().pixelColor(where) == QColor(200, 230, 255);
    }));
    SaveShot(gDisplay->TopLevel(fWindow), "login-window-recoloured.png");
}

} // namespace
