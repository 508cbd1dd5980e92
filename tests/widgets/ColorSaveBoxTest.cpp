// Colour boxes: a dropped colour recolours the box and its direct children and is kept
// under the box's name in the colour file, which later boxes of that name start from.

#include "ViewTestUtil.h"

#include <ColorSaveBox.h>
#include <IrcSettingsFile.h>
#include <TempDir.h>

#include <Button.h>
#include <File.h>
#include <Message.h>
#include <Messenger.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr rgb_color kDropped = {10, 120, 230, 255};

class ColorSaveBoxTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    // A running window holding a box with a button and a nested box with its own button.
    ColorSaveBox* Open(const char* name)
    {
        fWindow = fFixture.NewWindow();
        auto* box = new ColorSaveBox(BRect(0, 0, 299, 199), name, B_FOLLOW_ALL, B_WILL_DRAW,
                                     B_PLAIN_BORDER);
        box->AddChild(new BButton(BRect(10, 10, 90, 30), "button", "Go", nullptr));
        auto* inner = new BBox(BRect(10, 50, 200, 150), "inner");
        inner->AddChild(new BButton(BRect(5, 5, 80, 25), "nested", "Stop", nullptr));
        box->AddChild(inner);
        fWindow->AddChild(box);
        fFixture.Start(fWindow);
        return box;
    }

    rgb_color Shown(const char* view)
    {
        auto shown = fFixture.Display().View(fWindow, view);
        EXPECT_TRUE(shown.has_value()) << view;
        return shown ? shown->viewColor : rgb_color{};
    }

    bool Stored(const char* name, rgb_color* color)
    {
        IrcSettingsFile file;
        return file.OpenColourFile() == B_OK && file.ReadColor(name, color);
    }

    testsupport::TempDir fHome;
    viewtest::Fixture fFixture;
    viewtest::RecordingWindow* fWindow = nullptr;
};

TEST_F(ColorSaveBoxTest, ADropRecoloursTheBoxAndItsDirectChildrenAndIsSaved)
{
    Open("Login Options");
    rgb_color nestedBefore = Shown("nested");
    fFixture.Display().DropColor(fWindow, "Login Options", kDropped, BPoint(150, 180));
    ASSERT_TRUE(fFixture.Sync(fWindow));

    EXPECT_EQ(Shown("Login Options"), kDropped);
    EXPECT_EQ(fFixture.Display().View(fWindow, "Login Options")->lowColor, kDropped);
    EXPECT_EQ(Shown("button"), kDropped);
    EXPECT_EQ(Shown("inner"), kDropped);
    EXPECT_EQ(Shown("nested"), nestedBefore); // inside the nested box: untouched

    // Stored directly in the settings directory, not the program's own folder.
    EXPECT_EQ(access((fHome / "IRCSettings").c_str(), F_OK), 0);
    rgb_color stored{};
    ASSERT_TRUE(Stored("Login Options", &stored));
    EXPECT_EQ(stored, kDropped);
}

TEST_F(ColorSaveBoxTest, ABoxStartsInItsStoredColourAndItsChildrenInTheirDefaults)
{
    {
        IrcSettingsFile file;
        ASSERT_EQ(file.OpenColourFile(), B_OK);
        ASSERT_EQ(file.WriteColor("#chan", kDropped), B_OK);
    }
    Open("#chan");
    EXPECT_EQ(Shown("#chan"), kDropped);
    EXPECT_EQ(fFixture.Display().View(fWindow, "#chan")->lowColor, kDropped);
    EXPECT_NE(Shown("button"), kDropped);
    EXPECT_EQ(Shown("inner"), B_PANEL_BACKGROUND);
}

TEST_F(ColorSaveBoxTest, StoredValuesOfAnotherSizeOrTypeLeaveTheDefault)
{
    struct Case
    {
        const char* name;
        type_code type;
        size_t size;
    };
    const Case cases[] = {
        {"short", B_ANY_TYPE, 3},
        {"long", B_ANY_TYPE, 5},
        {"typed", B_RGB_COLOR_TYPE, 4},
    };
    const unsigned char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    {
        BFile file((fHome / "IRCSettings").c_str(), B_READ_WRITE | B_CREATE_FILE);
        for (const Case& c : cases)
            ASSERT_EQ(file.WriteAttr(c.name, c.type, 0, bytes, c.size),
                      static_cast<ssize_t>(c.size));
    }
    for (const Case& c : cases) {
        ColorSaveBox box(BRect(0, 0, 9, 9), c.name, B_FOLLOW_NONE, 0, B_PLAIN_BORDER);
        EXPECT_EQ(box.ViewColor(), B_PANEL_BACKGROUND) << c.name;
    }
}

TEST_F(ColorSaveBoxTest, MessagesWithoutAColourOfTheRightTypeChangeNothing)
{
    ColorSaveBox* box = Open("ServerConfig");
    BMessage wrongType(B_PASTE);
    wrongType.AddInt32("RGBColor", 0x0a78e6ff);
    BMessage otherName(B_PASTE);
    otherName.AddColor("color", kDropped);
    BMessenger target(box);
    ASSERT_EQ(target.SendMessage(&wrongType), B_OK);
    ASSERT_EQ(target.SendMessage(&otherName), B_OK);
    ASSERT_TRUE(fFixture.Sync(fWindow));
    EXPECT_EQ(Shown("ServerConfig"), B_PANEL_BACKGROUND);
    rgb_color stored{};
    EXPECT_FALSE(Stored("ServerConfig", &stored));
}

TEST_F(ColorSaveBoxTest, ALongNameIsCutWithoutSplittingACharacter)
{
    // 254 bytes, then a two-byte character that would end at byte 256.
    std::string name = std::string(254, 'a') + "\xc3\xa9" + "tail";
    Open(name.c_str());
    ColorSaveBox* box = static_cast<ColorSaveBox*>(fWindow->FindView(name.c_str()));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(std::string(box->SettingName()), std::string(254, 'a'));

    fFixture.Display().DropColor(fWindow, name.c_str(), kDropped, BPoint(150, 180));
    ASSERT_TRUE(fFixture.Sync(fWindow));
    rgb_color stored{};
    ASSERT_TRUE(Stored(std::string(254, 'a').c_str(), &stored));
    EXPECT_EQ(stored, kDropped);
}

TEST_F(ColorSaveBoxTest, AnArchivedBoxComesBackWithoutANameAndKeepsNoColour)
{
    BMessage archive;
    {
        ColorSaveBox original(BRect(5, 6, 105, 56), "Preferences", B_FOLLOW_ALL, B_WILL_DRAW,
                              B_NO_BORDER);
        ASSERT_EQ(original.Archive(&archive), B_OK);
    }
    const char* field = nullptr;
    ASSERT_EQ(archive.FindString("class", &field), B_OK);
    EXPECT_STREQ(field, "ColorSaveBox");
    ASSERT_EQ(archive.FindString("add_on", &field), B_OK);
    EXPECT_STREQ(field, "application/x-vnd.tarnvik-Velmor");

    BMessage other;
    other.AddString("class", "BBox");
    EXPECT_EQ(ColorSaveBox::Instantiate(&other), nullptr);

    auto* box = dynamic_cast<ColorSaveBox*>(ColorSaveBox::Instantiate(&archive));
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->Name(), "Preferences");
    EXPECT_EQ(box->Frame(), BRect(5, 6, 105, 56));
    EXPECT_EQ(box->Border(), B_NO_BORDER);
    EXPECT_STREQ(box->SettingName(), "");

    fWindow = fFixture.NewWindow();
    fWindow->AddChild(box);
    fFixture.Start(fWindow);
    fFixture.Display().DropColor(fWindow, "Preferences", kDropped, BPoint(10, 10));
    ASSERT_TRUE(fFixture.Sync(fWindow));
    EXPECT_EQ(Shown("Preferences"), kDropped);
    rgb_color stored{};
    EXPECT_FALSE(Stored("Preferences", &stored));
    EXPECT_FALSE(Stored("", &stored));
}

} // namespace
