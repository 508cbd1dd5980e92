// A channel window as the Qt display server shows it: coloured lines, a link, the user list
// with operator and voice colours, and the entry field. Saves a picture in build/shots.

#include "../DisplayFixture.h"

#include <IRC.h>
#include <IrcDisplayWindow.h>
#include <IrcItem.h>
#include <IrcWindowInfo.h>
#include <ListWidget.h>
#include <QtDisplay.h>
#include <ScrollbackWidget.h>
#include <irc.h>

#include <FakeServer.h>
#include <TempDir.h>

#include <QDir>
#include <QImage>
#include <QSet>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

extern kit_private::QtDisplay* gDisplay;

namespace displaytest {
namespace {

using kit_private::ListWidget;
using kit_private::ScrollbackWidget;

class GuiChannelWindowTest : public ::testing::Test
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

    // Lines through the real reader; returns once the window's mirror has them.
    void Feed(const std::string& lines, IrcDisplayWindow* window)
    {
        static int marker = 0;
        const std::string ping = "gui" + std::to_string(++marker);
        ASSERT_TRUE(fServer.Send(lines + "PING :" + ping + "\r\n"));
        ASSERT_TRUE(fServer.WaitFor("PONG " + ping));
        fLooper->Sync();
        if (window != nullptr) {
            ASSERT_TRUE(gDisplay->Sync(window));
        }
        gDisplay->Flush();
    }

    IrcDisplayWindow* Channel(const char* name)
    {
        auto info = fList->Find(name);
        return info != nullptr ? info->Window() : nullptr;
    }

    testsupport::TempDir fHome;
    testsupport::FakeServer fServer;
    TestHost fHost;
    RoutingLooper* fLooper = nullptr;
    std::shared_ptr<IRC> fSession;
    std::shared_ptr<IrcConversationList> fList;
};

TEST_F(GuiChannelWindowTest, AChannelWithColouredLinesALinkAndItsUsers)
{
    fSession->JoinChannel("#velmor", nullptr, true);
    Feed(":me!u@h JOIN :#velmor\r\n"
         ":irc.test 332 me #velmor :Where the client is made\r\n"
         ":irc.test 353 me = #velmor :@zed +amy bob me Carl\r\n"
         ":irc.test 366 me #velmor :End of NAMES list\r\n",
         nullptr);
    IrcDisplayWindow* window = Channel("#velmor");
    ASSERT_NE(window, nullptr);
    Feed(":amy!a@h PRIVMSG #velmor :the build is green again\r\n"
         ":bob!b@h PRIVMSG #velmor :notes at https://example.org/velmor/notes, have a look\r\n"
         ":zed!z@h PRIVMSG #velmor :\001ACTION stretches\001\r\n"
         ":Carl!c@h PRIVMSG #velmor :me: does the list keep its order?\r\n"
         ":dan!d@d.example JOIN :#velmor\r\n"
         ":zed!z@h MODE #velmor +v bob\r\n",
         window);

    QWidget* top = gDisplay->TopLevel(window);
    ASSERT_NE(top, nullptr);
    auto* scrollback = dynamic_cast<ScrollbackWidget*>(gDisplay->Widget(window, "fDisplay"));
    ASSERT_NE(scrollback, nullptr);
    const std::string text = scrollback->Document().Text().str();
    const size_t line = text.find("[21:07] <amy> the build is green again\n");
    ASSERT_NE(line, std::string::npos) << text;
    // Prefix in event blue, body in the plain colour, as the model said.
    EXPECT_EQ(scrollback->StyleColor(scrollback->Document().StyleAt(static_cast<int32_t>(line))),
              QColor(0, 0, 200));
    EXPECT_EQ(
        scrollback->StyleColor(scrollback->Document().StyleAt(static_cast<int32_t>(line + 15))),
        QColor(0, 0, 0));
    EXPECT_EQ(scrollback->Document().Links().size(), 1u);
    EXPECT_NE(text.find("*** dan (d@d.example) has joined the channel\n"), std::string::npos);

    auto* list = dynamic_cast<ListWidget*>(gDisplay->Widget(window, "fUsers"));
    ASSERT_NE(list, nullptr);
    std::vector<std::string> rows;
    for (int i = 0; i < list->Rows()->rowCount(); i++)
        rows.push_back(list->Rows()->Row(i)->text);
    EXPECT_EQ(rows, (std::vector<std::string>{"zed", "amy", "bob", "Carl", "dan", "me"}));
    EXPECT_EQ(list->Rows()->Row(0)->textColor, IrcItem::kOperatorColor);
    EXPECT_EQ(list->Rows()->Row(2)->textColor, IrcItem::kVoiceColor);
    EXPECT_EQ(list->Rows()->Row(3)->textColor, IrcItem::kNormalColor);

    QDir().mkpath(QStringLiteral(VELMOR_SHOTS_DIR));
    const QImage image = top->grab().toImage();
    EXPECT_TRUE(image.save(QStringLiteral(VELMOR_SHOTS_DIR "/channel-window.png")));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 20);
}

} // namespace
} // namespace displaytest
