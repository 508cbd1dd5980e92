// The main view's layout, server menu and settings: what a first start shows, what is
// remembered between runs, the server menu after the configuration window closes, the
// about picture, and archiving.

#include "AppFixture.h"
#include "AppMessages.h"

#include <ServerConfigWindow.h>

#include <FakeServer.h>
#include <Ngircd.h>

#include <IrcSettingsFile.h>

#include <Bitmap.h>
#include <Window.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using apptest::AppTest;
using kittest::WaitUntil;
using testsupport::FakeServer;

constexpr const char* kConfigure = "Configure Servers\xe2\x80\xa6";

// The labels of a menu's items, separators as "-".
std::vector<std::string> Labels(const kit_private::MenuNode& menu)
{
    std::vector<std::string> labels;
    for (const kit_private::MenuNode& item : menu.items)
        labels.push_back(item.separator ? "-" : item.label);
    return labels;
}

class MainViewSettings : public AppTest
{
protected:
    std::string ProgramDirectory() const { return fConfig.Path() + "/Velmor"; }

    void WriteServerList(const std::string& contents)
    {
        mkdir(ProgramDirectory().c_str(), 0755);
        std::ofstream(ProgramDirectory() + "/ServerSettings") << contents;
    }

    std::string ReadServerList() const
    {
        std::ifstream in(ProgramDirectory() + "/ServerSettings");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The settings file as the main view keeps it; the application must not be running.
    IrcSettingsFile Settings()
    {
        IrcSettingsFile file;
        EXPECT_EQ(file.OpenWithMigration(), B_OK);
        return file;
    }

    kit_private::MenuNode ServerMenu()
    {
        Sync();
        auto shown = fDisplay.View(fWindow, "fServer");
        return shown ? shown->menu : kit_private::MenuNode{};
    }

    // Waits until no window of that title is shown (true) or a time-out (false).
    bool WaitForWindowGone(const BWindow* window, bigtime_t timeout)
    {
        return WaitUntil(
            [&] {
                auto shown = fDisplay.Window(window);
                return !shown || shown->quit;
            },
            timeout);
    }
};

TEST_F(MainViewSettings, AFirstStartShowsEmptyFieldsAndOnlyTheConfigureItem)
{
    for (const char* field : {"fNickName", "fRealName", "fUserName"})
        EXPECT_EQ(FieldText(field), "") << field;
    kit_private::MenuNode menu = ServerMenu();
    EXPECT_EQ(menu.label, "Please select a server");
    EXPECT_EQ(Labels(menu), (std::vector<std::string>{"-", kConfigure}));
    EXPECT_EQ(menu.items.back().shortcut, 'C');
    EXPECT_EQ(menu.items.back().modifiers & B_COMMAND_KEY, B_COMMAND_KEY);
    EXPECT_EQ(fDisplay.View(fWindow, "fConnect")->value, B_CONTROL_OFF);
    // The list file was made, empty.
    EXPECT_EQ(ReadServerList(), "");

    auto tabs = fDisplay.View(fWindow, "fTabView");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->tabs.labels, (std::vector<std::string>{"Login Options", "Preferences"}));
    auto version = fDisplay.View(fWindow, "fVersion");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->label.rfind("Velmor v0.31", 0), 0u) << version->label;
    EXPECT_EQ(version->highColor.blue, 200);
    // The window fits the tab view with the same margin on each side.
    BRect tabFrame = tabs->frame;
    BRect window = fDisplay.Window(fWindow)->frame;
    EXPECT_FLOAT_EQ(window.Width(), tabFrame.right + 5);
    EXPECT_FLOAT_EQ(window.Height(), tabFrame.bottom + 5)
        << "tab view " << tabFrame.top << "-" << tabFrame.bottom << ", window " << window.Height()
        << " model " << fWindow->Frame().Height() << " view "
        << fDisplay.View(fWindow, "IrcMainView")->frame.Height();

    // Stacked top to bottom without overlapping, all inside the tab.
    const char* order[] = {"fNickName", "fRealName", "fUserName", "fServer",
                           "fConnect",  "fOkay",     "fVersion"};
    BRect box = fDisplay.View(fWindow, "Login Options")->frame;
    for (size_t i = 0; i < std::size(order); i++) {
        BRect frame = fDisplay.View(fWindow, order[i])->frame;
        EXPECT_LE(frame.bottom, box.Height()) << order[i];
        if (i > 0) {
            EXPECT_GT(frame.top, fDisplay.View(fWindow, order[i - 1])->frame.bottom) << order[i];
        }
    }

    ShowTab(1);
    EXPECT_EQ(FieldText("fQuitMessage"), "");
}

TEST_F(MainViewSettings, ConnectWithoutAChosenServerAsksForOne)
{
    SetIdentity();
    PressConnect();
    auto alerts = fDisplay.Alerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].text, "Please select a server from the server menu first.");
    EXPECT_TRUE(fView->ServerList().empty());
}

TEST_F(MainViewSettings, TheTextsAsTypedAreWrittenAtQuitAndShownAtTheNextStart)
{
    fDisplay.Type(fWindow, "fNickName", "alice");
    fDisplay.Type(fWindow, "fRealName", "Alice Liddell");
    fDisplay.Type(fWindow, "fUserName", "al");
    fDisplay.PressButton(fWindow, "fConnect");
    ShowTab(1);
    // The box around the field has the field's name, so the display cannot type into it by
    // name.
    SetField("fQuitMessage", "bye \xc3\xa9");
    fDisplay.ResizeWindow(fWindow, 320, 240);
    Sync();
    // Moving is the program's own: the stored frame is where the window is.
    ASSERT_TRUE(fWindow->Lock());
    fWindow->MoveTo(140, 160);
    BRect frame = fWindow->Frame();
    fWindow->Unlock();
    Sync();
    QuitApp();

    IrcSettingsFile file = Settings();
    char text[1024];
    struct Stored
    {
        const char* name;
        const char* value;
    };
    for (const Stored& s : {Stored{"Nick", "alice"}, Stored{"RealString", "Alice Liddell"},
                            Stored{"UserString", "al"}, Stored{"QuitMessage", "bye \xc3\xa9"},
                            Stored{"ServerString", ""}}) {
        EXPECT_TRUE(file.ReadString(s.name, text, sizeof(text)) || s.value[0] == '\0') << s.name;
        EXPECT_STREQ(text, s.value) << s.name;
    }
    bool connect = false;
    EXPECT_TRUE(file.ReadBool("ConnectAtStartup", &connect));
    EXPECT_TRUE(connect);
    BRect stored;
    EXPECT_TRUE(file.ReadRect("MainViewFrame", &stored));
    EXPECT_EQ(stored, frame);

    // No server chosen: the start-up connect asks for one, and the fields show the texts.
    StartApp();
    EXPECT_EQ(FieldText("fNickName"), "alice");
    EXPECT_EQ(FieldText("fRealName"), "Alice Liddell");
    EXPECT_EQ(FieldText("fUserName"), "al");
    EXPECT_EQ(fDisplay.View(fWindow, "fConnect")->value, B_CONTROL_ON);
    EXPECT_EQ(fDisplay.Window(fWindow)->frame.LeftTop(), frame.LeftTop());
    ShowTab(1);
    EXPECT_EQ(FieldText("fQuitMessage"), "bye \xc3\xa9");
}

TEST_F(MainViewSettings, ALongQuitMessageIsCutOnACharacterBoundary)
{
    std::string message;
    for (int i = 0; i < 515; i++)
        message += "\xc3\xa9"; // 1,030 bytes
    ShowTab(1);
    SetField("fQuitMessage", message.c_str());
    QuitApp();
    char stored[2048];
    ASSERT_TRUE(Settings().ReadString("QuitMessage", stored, sizeof(stored)));
    EXPECT_EQ(std::string(stored), message.substr(0, 1022));
}

class StoredServer : public MainViewSettings
{
protected:
    void BeforeStart() override
    {
        WriteServerList("irc.example.org , 6667 , Example\n"
                        "localhost , " +
                        std::to_string(fServer.Port()) +
                        " , Home, sweet home\n"
                        "other.example.net , 7000 , \n");
        IrcSettingsFile file = Settings();
        file.WriteString("ServerString", "LocalHost");
        file.WriteString("Nick", "velmor");
        file.WriteString("RealString", "Tester");
    }

    FakeServer fServer;
};

TEST_F(StoredServer, AStoredServerInOtherLetterCaseIsMarkedAndConnectsOnItsPort)
{
    const std::string home = "Home, sweet home [localhost:" + std::to_string(fServer.Port()) + "]";
    kit_private::MenuNode menu = ServerMenu();
    EXPECT_EQ(Labels(menu),
              (std::vector<std::string>{"Example [irc.example.org:6667]", home,
                                        " [other.example.net:7000]", "-", kConfigure}));
    EXPECT_EQ(menu.label, home);
    ASSERT_EQ(menu.items.size(), 5u);
    EXPECT_FALSE(menu.items[0].marked);
    EXPECT_TRUE(menu.items[1].marked);

    PressConnect();
    ASSERT_TRUE(fServer.Accept());
    EXPECT_TRUE(fServer.WaitFor("NICK velmor\r\n"));
    IrcDisplayWindow* server = ServerWindow(0);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(fDisplay.Window(server)->title, "LocalHost");
}

TEST_F(StoredServer, ChoosingAnItemShowsItsLabelAndConnectsThere)
{
    fDisplay.ChooseMenuItem(fWindow, {"fServer", "Example [irc.example.org:6667]"});
    Sync();
    Sync();
    EXPECT_EQ(ServerMenu().label, "Example");
    QuitApp();
    char host[256];
    Settings().ReadString("ServerString", host, sizeof(host));
    EXPECT_STREQ(host, "irc.example.org");
}

TEST_F(MainViewSettings, AStoredServerThatNoLineNamesConnectsOnTheDefaultPort)
{
    FakeServer server(6667);
    if (server.Port() != 6667)
        GTEST_SKIP() << "port 6667 is taken on this machine";
    QuitApp();
    WriteServerList("irc.example.org , 6668 , Example\n");
    {
        IrcSettingsFile file = Settings();
        file.WriteString("ServerString", "127.0.0.1");
    }
    StartApp();
    EXPECT_EQ(ServerMenu().label, "Please select a server");
    SetIdentity();
    PressConnect();
    EXPECT_TRUE(server.Accept());
}

TEST_F(MainViewSettings, TheMenuListsExactlyTheSavedListAfterTheConfigWindowCloses)
{
    ServerConfigWindow* config = fView->ConfigWindow();
    fDisplay.ChooseMenuItem(fWindow, {"fServer", kConfigure});
    Sync();
    Sync();
    ASSERT_TRUE(WaitUntil([&] {
        auto shown = fDisplay.Window(config);
        return shown && shown->visible;
    }));
    ASSERT_TRUE(fDisplay.Sync(config));
    for (const char* preset : {"irc.oftc.net", "open.ircnet.net"}) {
        const char* network = preset[0] == 'o' && preset[1] == 'p' ? "IRCNet" : "Other";
        fDisplay.ChooseMenuItem(config, {"fServer", network, preset});
        ASSERT_TRUE(fDisplay.Sync(config));
        fDisplay.PressButton(config, "fAdd");
        ASSERT_TRUE(fDisplay.Sync(config));
    }
    fDisplay.CloseWindow(config);
    ASSERT_TRUE(fDisplay.Sync(config));
    EXPECT_EQ(ReadServerList(), "irc.oftc.net , 6667 , irc.oftc.net\n"
                                "open.ircnet.net , 6667 , open.ircnet.net\n");
    ASSERT_TRUE(WaitUntil([&] { return ServerMenu().items.size() == 4; }));
    EXPECT_EQ(
        Labels(ServerMenu()),
        (std::vector<std::string>{"irc.oftc.net [irc.oftc.net:6667]",
                                  "open.ircnet.net [open.ircnet.net:6667]", "-", kConfigure}));
    EXPECT_FALSE(fDisplay.Window(config)->visible);
}

TEST_F(MainViewSettings, ConnectAtStartupConnectsToARealServerAtOnce)
{
    testsupport::Ngircd ngircd;
    ASSERT_TRUE(ngircd.Start()) << ngircd.Error();
    QuitApp();
    WriteServerList("127.0.0.1 , " + std::to_string(ngircd.Port()) + " , Local ngircd\n");
    {
        IrcSettingsFile file = Settings();
        file.WriteString("ServerString", "127.0.0.1");
        file.WriteString("Nick", "early");
        file.WriteString("RealString", "Early Bird");
        file.WriteBool("ConnectAtStartup", true);
    }
    StartApp();
    IrcDisplayWindow* server = ServerWindow(0);
    ASSERT_NE(server, nullptr);
    EXPECT_TRUE(WaitUntil([&] {
        return ShownText(server, "fDisplay").find("Welcome") != std::string::npos;
    })) << ShownText(server, "fDisplay");
    EXPECT_EQ(fDisplay.View(fWindow, "fConnect")->value, B_CONTROL_ON);
}

TEST_F(MainViewSettings, AColourDroppedOnTheLoginTabStaysAcrossRuns)
{
    const rgb_color teal = {0, 128, 128, 255};
    fDisplay.DropColor(fWindow, "Login Options", teal, BPoint(20, 20));
    Sync();
    auto recoloured = fDisplay.View(fWindow, "Login Options");
    ASSERT_TRUE(recoloured);
    EXPECT_EQ(recoloured->viewColor, teal);
    QuitApp();
    StartApp();
    auto shown = fDisplay.View(fWindow, "Login Options");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->viewColor, teal);
    EXPECT_NE(fDisplay.View(fWindow, "Preferences")->viewColor, teal);
}

// A small picture for the headless display, which reads binary PPM.
void WritePicture(const std::string& path, int width, int height)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (int i = 0; i < width * height; i++)
        out.put(static_cast<char>(0)).put(static_cast<char>(0)).put(static_cast<char>(200));
}

TEST_F(MainViewSettings, TheAboutPictureShowsForASecondWithoutHoldingUpTheMainWindow)
{
    testsupport::TempDir data;
    WritePicture(data.Path() + "/VelmorGraphic", 40, 30);
    setenv("VELMOR_DATA_DIR", data.Path().c_str(), 1);
    be_app_messenger.SendMessage(B_ABOUT_REQUESTED);

    const BWindow* about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (const auto& window : fDisplay.Windows()) {
            if (window.visible && window.Find("BitmapView") != nullptr) {
                auto view = window.Find("BitmapView");
                EXPECT_TRUE(view->hasBitmap);
                EXPECT_EQ(view->bitmapWidth, 40);
                EXPECT_EQ(window.frame.Width(), 39);
                about = reinterpret_cast<const BWindow*>(1);
                return true;
            }
        }
        return false;
    }));
    // The main window answers while the picture shows.
    bigtime_t before = system_time();
    Sync();
    EXPECT_LT(system_time() - before, 500000);
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const auto& window : fDisplay.Windows()) {
                if (window.visible && window.Find("BitmapView") != nullptr)
                    return false;
            }
            return true;
        },
        5000000));
    unsetenv("VELMOR_DATA_DIR");
    (void)about;
}

bool AboutShown(const kit_private::HeadlessDisplay& display)
{
    for (const auto& window : display.Windows()) {
        if (window.visible && window.Find("BitmapView") != nullptr)
            return true;
    }
    return false;
}

TEST_F(MainViewSettings, ADoubleClickOnTheVersionLineShowsTheAboutPicture)
{
    testsupport::TempDir data;
    WritePicture(data.Path() + "/VelmorGraphic", 20, 20);
    setenv("VELMOR_DATA_DIR", data.Path().c_str(), 1);
    fDisplay.Click(fWindow, "fVersion", BPoint(3, 3));
    Sync();
    EXPECT_FALSE(AboutShown(fDisplay)); // a single click only shows the whole line
    fDisplay.Click(fWindow, "fVersion", BPoint(3, 3), 1, 2);
    Sync();
    EXPECT_TRUE(WaitUntil([&] { return AboutShown(fDisplay); }));
    unsetenv("VELMOR_DATA_DIR");
}

TEST_F(MainViewSettings, WithoutAPictureTheAboutRequestShowsNothing)
{
    testsupport::TempDir empty;
    setenv("VELMOR_DATA_DIR", empty.Path().c_str(), 1);
    const size_t windows = fDisplay.Windows().size();
    be_app_messenger.SendMessage(B_ABOUT_REQUESTED);
    Sync();
    Sync();
    EXPECT_EQ(fDisplay.Windows().size(), windows);
    unsetenv("VELMOR_DATA_DIR");
}

TEST_F(MainViewSettings, AnArchivedViewIsRebuiltWithItsFrameAndWorks)
{
    BMessage archive;
    ASSERT_TRUE(fWindow->Lock());
    ASSERT_EQ(fView->Archive(&archive), B_OK);
    BRect frame = fView->Frame();
    fWindow->Unlock();
    const char* value = nullptr;
    ASSERT_EQ(archive.FindString("add_on", &value), B_OK);
    EXPECT_STREQ(value, "application/x-vnd.tarnvik-Velmor");
    ASSERT_EQ(archive.FindString("class", &value), B_OK);
    EXPECT_STREQ(value, "IrcMainView");

    BMessage other;
    other.AddString("class", "BView");
    EXPECT_EQ(IrcMainView::Instantiate(&other), nullptr);

    auto* rebuilt = dynamic_cast<IrcMainView*>(IrcMainView::Instantiate(&archive));
    ASSERT_NE(rebuilt, nullptr);
    auto* host = new BWindow(BRect(300, 300, 700, 700), "Host", B_TITLED_WINDOW_LOOK,
                             B_NORMAL_WINDOW_FEEL, 0);
    host->AddChild(rebuilt);
    host->Show();
    ASSERT_TRUE(fDisplay.Sync(host));
    EXPECT_EQ(fDisplay.View(host, "IrcMainView")->frame, frame);
    EXPECT_TRUE(fDisplay.View(host, "fNickName"));
    // The host window keeps its own size.
    EXPECT_FLOAT_EQ(fDisplay.Window(host)->frame.Width(), 400);
    ASSERT_TRUE(host->Lock());
    rebuilt->Quit();
    host->Quit();
}

} // namespace
