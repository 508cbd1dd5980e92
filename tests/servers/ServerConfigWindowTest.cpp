// The server configuration window, headless and driven as a user would: editing rows,
// presets, dragging rows into another order, and closing, which saves the list and tells
// the main view.

#include "ViewTestUtil.h"

#include <ReorderListView.h>
#include <ServerConfigWindow.h>
#include <ServerItem.h>
#include <ServerSettings.h>

#include <TempDir.h>

#include <InterfaceDefs.h>
#include <TextControl.h>
#include <ViewMessages.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Rows = std::vector<std::string>;

constexpr uint32 kSaved = 'Aswc';

class ServerConfigTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1); }
    void TearDown() override
    {
        if (fWindow != nullptr)
            fWindow->QuitNow();
        unsetenv("XDG_CONFIG_HOME");
    }

    void WriteList(const std::string& contents)
    {
        mkdir((fHome / "Velmor").c_str(), 0755);
        std::ofstream(fHome / "Velmor/ServerSettings", std::ios::binary) << contents;
    }
    std::string List() const
    {
        std::ifstream in(fHome / "Velmor/ServerSettings", std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    // A main window with a view to receive the notices, and the configuration window made
    // for that view on the test thread (as the main view makes it on its own), then shown.
    void Open(bool show = true)
    {
        fMain = fFixture.NewWindow("Login Options");
        fMainView = new viewtest::RecordingView(BRect(0, 0, 99, 99), "main view");
        fMain->AddChild(fMainView);
        fFixture.Start(fMain);
        ASSERT_TRUE(fMain->Lock());
        fWindow = new ServerConfigWindow(fMainView);
        fMain->Unlock();
        if (show)
            fWindow->Show();
        ASSERT_TRUE(Sync());
    }
    bool Sync() { return fFixture.Sync(fWindow); }
    // Input posts messages that post more (a button its message, which changes the
    // selection, which posts the selection message): a few rounds see them all handled.
    bool Settle()
    {
        for (int i = 0; i < 4; i++) {
            if (!Sync())
                return false;
        }
        return true;
    }
    kit_private::HeadlessDisplay& Display() { return fFixture.Display(); }

    kit_private::ShownView Shown(const char* name)
    {
        auto view = Display().View(fWindow, name);
        EXPECT_TRUE(view.has_value()) << name;
        return view.value_or(kit_private::ShownView{});
    }
    Rows ShownRows()
    {
        Rows rows;
        for (const kit_private::ListRow& row : Shown("fServers").rows)
            rows.push_back(row.text);
        return rows;
    }
    std::vector<int32> Selected() { return Shown("fServers").selectedRows; }
    bool Enabled(const char* button) { return Shown(button).enabled; }
    std::string Field(const char* name)
    {
        EXPECT_TRUE(fWindow->Lock());
        std::string text = static_cast<BTextControl*>(fWindow->FindView(name))->Text();
        fWindow->Unlock();
        return text;
    }
    // Sets the fields as if typed (the tests of typing itself use Type).
    void Fill(const std::string& host, const std::string& port, const std::string& label)
    {
        ASSERT_TRUE(fWindow->Lock());
        static_cast<BTextControl*>(fWindow->FindView("fHost"))->SetText(host.c_str());
        static_cast<BTextControl*>(fWindow->FindView("fPort"))->SetText(port.c_str());
        static_cast<BTextControl*>(fWindow->FindView("fTitle"))->SetText(label.c_str());
        fWindow->Unlock();
    }
    void Press(const char* button)
    {
        Display().PressButton(fWindow, button);
        ASSERT_TRUE(Settle());
    }
    void ClickRow(int32 index)
    {
        Display().Click(fWindow, "fServers", BPoint(5, RowHeight() * index + 3));
        ASSERT_TRUE(Settle());
    }
    float RowHeight() { return Shown("fServers").rowHeight; }
    size_t Notices()
    {
        EXPECT_TRUE(fFixture.Sync(fMain));
        EXPECT_TRUE(fMain->Lock());
        size_t count = 0;
        for (const BMessage& message : fMainView->messages)
            count += message.what == kSaved;
        fMain->Unlock();
        return count;
    }
    void Close()
    {
        Display().CloseWindow(fWindow);
        ASSERT_TRUE(Sync());
    }

    testsupport::TempDir fHome;
    viewtest::Fixture fFixture;
    viewtest::RecordingWindow* fMain = nullptr;
    viewtest::RecordingView* fMainView = nullptr;
    ServerConfigWindow* fWindow = nullptr;
};

TEST_F(ServerConfigTest, StartsHiddenWithTheRowsOfTheFileAndItsViews)
{
    WriteList("irc.example.org , 6667 , Example\nbad line\nh , 06667 , \n");
    Open(false);
    auto shown = Display().Window(fWindow);
    ASSERT_TRUE(shown);
    EXPECT_FALSE(shown->visible);
    EXPECT_EQ(shown->title, "Server Config");
    EXPECT_EQ(shown->look, static_cast<uint32>(B_FLOATING_WINDOW_LOOK));
    EXPECT_EQ(shown->flags & (B_NOT_RESIZABLE | B_NOT_ZOOMABLE), B_NOT_RESIZABLE | B_NOT_ZOOMABLE);
    EXPECT_EQ(ShownRows(), (Rows{"Example [irc.example.org:6667]", " [h:06667]"}));
    EXPECT_TRUE(Selected().empty());

    EXPECT_EQ(Shown("Servers").label, "Servers");
    EXPECT_EQ(Shown("fBox2").label, "Server Details");
    EXPECT_EQ(Shown("fBox4").label, "Default Servers");
    EXPECT_EQ(Shown("fHost").label, "Hostname");
    EXPECT_EQ(Shown("fPort").label, "Port Number");
    EXPECT_EQ(Shown("fTitle").label, "Server Label");
    EXPECT_EQ(Shown("fHost").divider, Shown("fPort").divider);
    EXPECT_TRUE(Shown("fAdd").isDefault);
    EXPECT_TRUE(Enabled("fAdd"));
    EXPECT_FALSE(Enabled("fChange"));
    EXPECT_FALSE(Enabled("fRemove"));
    EXPECT_EQ(Shown("fChange").frame.top, Shown("fAdd").frame.top + 2);

    // The window grew to hold every box, and the details box is as wide as the buttons'.
    BRect window = shown->frame;
    EXPECT_GE(window.Width(), 300);
    EXPECT_GE(window.Height(), 200);
    for (const char* box : {"Servers", "fBox2", "fBox3", "fBox4"}) {
        BRect frame = Shown(box).frame;
        EXPECT_LE(frame.right, window.Width()) << box;
        EXPECT_LE(frame.bottom, window.Height()) << box;
    }
    EXPECT_EQ(Shown("fBox2").frame.Width(), Shown("fBox3").frame.Width());
    EXPECT_GT(Shown("fBox3").frame.top, Shown("fBox2").frame.bottom);
    EXPECT_GT(Shown("fBox4").frame.top, Shown("fBox3").frame.bottom);

    fWindow->Show();
    ASSERT_TRUE(Sync());
    EXPECT_TRUE(Display().Window(fWindow)->visible);
}

TEST_F(ServerConfigTest, AddingAppendsASelectedRowWithItsDetails)
{
    WriteList("a , 1 , A\n");
    Open();
    Fill("irc.example.org", "06667", "Example, the server");
    Press("fAdd");
    EXPECT_EQ(ShownRows(), (Rows{"A [a:1]", "Example, the server [irc.example.org:06667]"}));
    EXPECT_EQ(Selected(), (std::vector<int32>{1}));
    EXPECT_TRUE(Enabled("fChange"));
    EXPECT_TRUE(Enabled("fRemove"));
    EXPECT_EQ(Field("fPort"), "6667"); // the details show the port as stored

    // Nothing is checked: empty fields make a row too.
    Fill("", "", "");
    Press("fAdd");
    EXPECT_EQ(ShownRows().back(), " [:]");
    EXPECT_EQ(Selected(), (std::vector<int32>{2}));
    EXPECT_EQ(Field("fPort"), "0");
    Close();
    EXPECT_EQ(List(), "a , 1 , A\nirc.example.org , 6667 , Example, the server\n , 0 , \n");
}

TEST_F(ServerConfigTest, SelectingARowFillsTheFieldsAndEnablesChangeAndRemove)
{
    WriteList("a , 1 , A\nb , 2 , B\n");
    Open();
    ClickRow(1);
    EXPECT_EQ(Selected(), (std::vector<int32>{1}));
    EXPECT_EQ(Field("fHost"), "b");
    EXPECT_EQ(Field("fPort"), "2");
    EXPECT_EQ(Field("fTitle"), "B");
    EXPECT_TRUE(Enabled("fChange"));
    EXPECT_TRUE(Enabled("fRemove"));
}

TEST_F(ServerConfigTest, ChangingUpdatesTheSelectedRowOnly)
{
    WriteList("a , 1 , A\nb , 2 , B\n");
    Open();
    Fill("x", "7", "X");
    Press("fChange"); // no selection: nothing
    EXPECT_EQ(ShownRows(), (Rows{"A [a:1]", "B [b:2]"}));

    ClickRow(0);
    Fill("irc.example.org", "06667", "Example");
    Press("fChange");
    EXPECT_EQ(ShownRows(), (Rows{"Example [irc.example.org:6667]", "B [b:2]"}));
    Close();
    EXPECT_EQ(List(), "irc.example.org , 6667 , Example\nb , 2 , B\n");
}

TEST_F(ServerConfigTest, RemovingSelectsTheNextRowAndNothingAfterTheLast)
{
    WriteList("a , 1 , A\nb , 2 , B\nc , 3 , C\n");
    Open();
    Press("fRemove"); // no selection: nothing
    EXPECT_EQ(ShownRows().size(), 3u);

    ClickRow(1);
    Press("fRemove");
    EXPECT_EQ(ShownRows(), (Rows{"A [a:1]", "C [c:3]"}));
    EXPECT_EQ(Selected(), (std::vector<int32>{1}));
    EXPECT_EQ(Field("fHost"), "c");

    Press("fRemove"); // the last row
    EXPECT_EQ(ShownRows(), (Rows{"A [a:1]"}));
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(Enabled("fChange"));
    EXPECT_FALSE(Enabled("fRemove"));
}

TEST_F(ServerConfigTest, APresetFillsTheFieldsAndAddsNothing)
{
    Open();
    struct Case
    {
        const char* network;
        const char* host;
        const char* port;
    };
    const Case cases[] = {
        {"EFNet", "irc.efnet.org", "6667"},
        {"IRCNet", "irc.psychz.net", "6680"},
        {"IRCNet", "openirc.snt.utwente.nl", "6666"},
        {"Other", "irc.oftc.net", "6667"},
    };
    for (const Case& c : cases) {
        Display().ChooseMenuItem(fWindow, {"fServer", c.network, c.host});
        ASSERT_TRUE(Settle());
        EXPECT_EQ(Field("fHost"), c.host);
        EXPECT_EQ(Field("fTitle"), c.host);
        EXPECT_EQ(Field("fPort"), c.port);
    }
    EXPECT_TRUE(ShownRows().empty());
    Press("fAdd");
    EXPECT_EQ(ShownRows(), (Rows{"irc.oftc.net [irc.oftc.net:6667]"}));

    // A preset message that does not point at one of the window's presets does nothing.
    BMessage forged('Aswj');
    int32 notAServer = 0;
    forged.AddPointer("Server", &notAServer);
    fWindow->PostMessage(&forged);
    fWindow->PostMessage('Aswj');
    ASSERT_TRUE(Sync());
    EXPECT_EQ(Field("fHost"), "irc.oftc.net");
}

TEST_F(ServerConfigTest, ThePortFieldTakesOnlyDigits)
{
    Open();
    Display().Type(fWindow, "fPort", "6a6-6 7x\xc3\xa9!");
    ASSERT_TRUE(Sync());
    EXPECT_EQ(Field("fPort"), "6667");
    Display().Type(fWindow, "fHost", "a1-");
    ASSERT_TRUE(Sync());
    EXPECT_EQ(Field("fHost"), "a1-"); // the other fields take anything
}

TEST_F(ServerConfigTest, AnEditTooLongForTheFileIsRefusedWithABeep)
{
    WriteList("a , 1 , A\n");
    Open();
    const std::string host(200, 'h');
    // "host , 6667 , label\n" and its NUL: 256 bytes just fit.
    const std::string fits(256 - 200 - strlen(" , 6667 , \n") - 1, 'l');
    int32 beeps = Display().Beeps();

    Fill(host, "6667", fits + "l");
    Press("fAdd");
    EXPECT_EQ(Display().Beeps(), beeps + 1);
    EXPECT_EQ(ShownRows().size(), 1u);

    Fill("a,b", "6667", "comma in the host");
    Press("fAdd");
    EXPECT_EQ(Display().Beeps(), beeps + 2);
    EXPECT_EQ(ShownRows().size(), 1u);

    ClickRow(0);
    Fill(host, "6667", fits + "l");
    Press("fChange");
    EXPECT_EQ(Display().Beeps(), beeps + 3);
    EXPECT_EQ(ShownRows(), (Rows{"A [a:1]"}));

    Fill(host, "6667", fits);
    Press("fAdd");
    EXPECT_EQ(Display().Beeps(), beeps + 3);
    ASSERT_EQ(ShownRows().size(), 2u);
    Close();
    EXPECT_EQ(List(), "a , 1 , A\n" + host + " , 6667 , " + fits + "\n");
}

TEST_F(ServerConfigTest, ClosingSavesHidesAndTellsTheMainViewAndShowingAgainKeepsTheRows)
{
    Open();
    for (const char* host : {"one", "two"}) {
        Fill(host, "6667", host);
        Press("fAdd");
    }
    EXPECT_EQ(List(), ""); // edits stay in memory until the window closes
    EXPECT_EQ(Notices(), 0u);

    Close();
    EXPECT_EQ(List(), "one , 6667 , one\ntwo , 6667 , two\n");
    EXPECT_FALSE(Display().Window(fWindow)->visible);
    EXPECT_EQ(Notices(), 1u);

    // A close while hidden saves and tells again, and does not nest the hiding.
    Close();
    EXPECT_EQ(Notices(), 2u);
    fWindow->Show();
    ASSERT_TRUE(Sync());
    EXPECT_TRUE(Display().Window(fWindow)->visible);
    EXPECT_EQ(ShownRows(), (Rows{"one [one:6667]", "two [two:6667]"}));

    ClickRow(0);
    Press("fRemove");
    Close();
    EXPECT_EQ(List(), "two , 6667 , two\n");
    EXPECT_EQ(Notices(), 3u);
}

TEST_F(ServerConfigTest, QuitNowSavesOnceMoreAndEndsTheWindow)
{
    Open();
    Fill("h", "1", "H");
    Press("fAdd");
    BMessenger window(fWindow);
    fWindow->QuitNow();
    fWindow = nullptr;
    EXPECT_FALSE(window.IsValid());
    EXPECT_EQ(List(), "h , 1 , H\n");
    EXPECT_EQ(Notices(), 0u);
}

TEST_F(ServerConfigTest, AWindowMadeBeforeItsMainViewJoinedAWindowStillTellsIt)
{
    // The main view makes this window in its constructor, before it is in its window.
    auto* view = new viewtest::RecordingView(BRect(0, 0, 9, 9), "late view");
    fWindow = new ServerConfigWindow(view);
    fMain = fFixture.NewWindow("Login Options");
    fMain->AddChild(view);
    fFixture.Start(fMain);
    fMainView = view;
    fWindow->Show();
    ASSERT_TRUE(Sync());
    Close();
    EXPECT_EQ(Notices(), 1u);
}

// Drags: presses and moves reach the list as the display server posts them.
class ServerDragTest : public ServerConfigTest
{
protected:
    void SetUp() override
    {
        ServerConfigTest::SetUp();
        WriteList("a , 1 , A\nb , 2 , B\nc , 3 , C\n");
        Open();
        ASSERT_TRUE(fWindow->Lock());
        fList = fWindow->FindView("fServers");
        fWindow->Unlock();
        ASSERT_NE(fList, nullptr);
    }
    BPoint OnRow(int32 index) { return BPoint(5, RowHeight() * index + 3); }
    void Post(uint32 what, BPoint where, uint32 buttons)
    {
        BMessage message = kit_private::make_mouse(what, where, BPoint(), buttons, 1, 0);
        ASSERT_TRUE(fWindow->Lock());
        fWindow->PostMessage(&message, fList);
        fWindow->Unlock();
    }
    // A press on a row and a move with the button held.
    void PressAndMove(int32 index)
    {
        Post(B_MOUSE_DOWN, OnRow(index), 1);
        Display().MoveMouse(fWindow, "fServers", OnRow(index) + BPoint(0, 12), 1);
        ASSERT_TRUE(Sync());
    }

    BView* fList = nullptr;
};

TEST_F(ServerDragTest, AnUnselectedRowIsNotDragged)
{
    PressAndMove(1);
    Post(B_MOUSE_UP, OnRow(1), 0);
    ASSERT_TRUE(Sync());
    EXPECT_FALSE(Display().Drag());
    EXPECT_EQ(Selected(), (std::vector<int32>{1})); // the press still selected it
}

TEST_F(ServerDragTest, ASelectedRowDroppedBelowTheRowsMovesToTheEnd)
{
    ClickRow(0);
    PressAndMove(0);
    auto drag = Display().Drag();
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->message.what, 'Aitd');
    int32 index = -1;
    EXPECT_EQ(drag->message.FindInt32("index", &index), B_OK);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(drag->imageWidth, 32);
    EXPECT_EQ(drag->imageHeight, 32);

    ASSERT_TRUE(Display().DropDrag(fWindow, "fServers", OnRow(5)));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(ShownRows(), (Rows{"B [b:2]", "C [c:3]", "A [a:1]"}));
    EXPECT_EQ(Selected(), (std::vector<int32>{2}));
    EXPECT_EQ(Field("fHost"), "a");
    Close();
    EXPECT_EQ(List(), "b , 2 , B\nc , 3 , C\na , 1 , A\n");
}

TEST_F(ServerDragTest, TheSelectionFollowsTheDragAndTheDropPutsTheRowThere)
{
    ClickRow(2);
    PressAndMove(2);
    ASSERT_TRUE(Display().Drag());
    Display().MoveMouse(fWindow, "fServers", OnRow(1), 1);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Selected(), (std::vector<int32>{1}));
    EXPECT_EQ(Field("fHost"), "b"); // the details show the row under the pointer
    Display().MoveMouse(fWindow, "fServers", OnRow(0), 1);
    ASSERT_TRUE(Sync());

    ASSERT_TRUE(Display().DropDrag(fWindow, "fServers", OnRow(0)));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(ShownRows(), (Rows{"C [c:3]", "A [a:1]", "B [b:2]"}));
    EXPECT_EQ(Selected(), (std::vector<int32>{0}));
    ASSERT_TRUE(fWindow->Lock());
    EXPECT_FALSE(static_cast<ReorderListView*>(fList)->IsDragging());
    fWindow->Unlock();
}

TEST_F(ServerDragTest, ADragMessageThatWasNotDroppedMovesNothing)
{
    BMessage stray('Aitd');
    stray.AddInt32("index", 0);
    ASSERT_TRUE(fWindow->Lock());
    fWindow->PostMessage(&stray, fList);
    fWindow->Unlock();
    BMessage outOfRange('Aitd');
    outOfRange.AddInt32("index", 7);
    outOfRange.SetDropped(BPoint(0, 0));
    ASSERT_TRUE(fWindow->Lock());
    fWindow->PostMessage(&outOfRange, fList);
    fWindow->Unlock();
    ASSERT_TRUE(Sync());
    EXPECT_EQ(ShownRows(), (Rows{"A [a:1]", "B [b:2]", "C [c:3]"}));
}

} // namespace
