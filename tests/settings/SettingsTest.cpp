// Settings storage: the directory and its migration, the two independent "IRCSettings"
// files, and the string and fixed-size reading rules.

#include "IrcSettingsDirectory.h"
#include "IrcSettingsFile.h"
#include "IrcWindowKey.h"

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <TypeConstants.h>
#include <Window.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

// A user settings directory of its own for each test.
class Settings : public ::testing::Test
{
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", fHome.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    std::string At(const std::string& name) const { return fHome / name; }
    bool Exists(const std::string& name) const { return BEntry(At(name).c_str()).Exists(); }

    testsupport::TempDir fHome;
};

TEST_F(Settings, FirstRunCreatesAnEmptyFileAndDefaultsStand)
{
    IrcSettingsFile file;
    ASSERT_EQ(file.OpenWithMigration(), B_OK);
    EXPECT_TRUE(BEntry(At("Velmor").c_str()).IsDirectory());
    struct stat info;
    ASSERT_EQ(stat(At("Velmor/IRCSettings").c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 0);

    char nick[256] = "unchanged";
    BRect frame(1, 2, 3, 4);
    bool connect = true;
    float size = 9;
    int32 code = 7;
    rgb_color color = make_color(1, 2, 3);
    EXPECT_FALSE(file.ReadString("Nick", nick, sizeof nick));
    EXPECT_STREQ(nick, "");
    EXPECT_FALSE(file.ReadRect("MainViewFrame", &frame));
    EXPECT_FALSE(file.ReadBool("ConnectAtStartup", &connect));
    EXPECT_FALSE(file.ReadFloat("hfTextFontSize", &size));
    EXPECT_FALSE(file.ReadInt32("hfTextFontCode", &code));
    EXPECT_FALSE(file.ReadColor("fTabView", &color));
    EXPECT_EQ(frame, BRect(1, 2, 3, 4));
    EXPECT_TRUE(connect);
    EXPECT_EQ(size, 9);
    EXPECT_EQ(code, 7);
    EXPECT_EQ(color, make_color(1, 2, 3));
}

TEST_F(Settings, FirstRunTakesOverTheOldDirectory)
{
    mkdir(At("IRC").c_str(), 0755);
    {
        IrcSettingsFile old;
        BDirectory dir(At("IRC").c_str());
        BFile file;
        ASSERT_EQ(dir.CreateFile("IRCSettings", &file, false), B_OK);
        ASSERT_EQ(old.SetTo(At("IRC/IRCSettings").c_str()), B_OK);
        ASSERT_EQ(old.WriteString("Nick", "oldnick"), B_OK);
    }
    IrcSettingsFile file;
    ASSERT_EQ(file.OpenWithMigration(), B_OK);
    EXPECT_FALSE(Exists("IRC"));
    char nick[256];
    EXPECT_TRUE(file.ReadString("Nick", nick, sizeof nick));
    EXPECT_STREQ(nick, "oldnick");
}

TEST_F(Settings, LaterRunsLeaveAnOldDirectoryAlone)
{
    mkdir(At("Velmor").c_str(), 0755);
    mkdir(At("IRC").c_str(), 0755);
    IrcSettingsFile file;
    ASSERT_EQ(file.OpenWithMigration(), B_OK);
    EXPECT_TRUE(Exists("IRC"));
    EXPECT_TRUE(Exists("Velmor/IRCSettings"));
}

TEST_F(Settings, AnOldEntryThatIsNotADirectoryIsNotMoved)
{
    FILE* stray = fopen(At("IRC").c_str(), "w");
    fclose(stray);
    IrcSettingsFile file;
    ASSERT_EQ(file.OpenWithMigration(), B_OK);
    EXPECT_TRUE(BEntry(At("Velmor").c_str()).IsDirectory());
    EXPECT_TRUE(Exists("IRC"));
}

TEST_F(Settings, OtherOwnersNeitherMigrateNorMakeTheDirectory)
{
    mkdir(At("IRC").c_str(), 0755);
    IrcSettingsFile window;
    EXPECT_NE(window.OpenProgramFile(), B_OK);
    EXPECT_FALSE(Exists("Velmor"));
    EXPECT_TRUE(Exists("IRC"));

    BDirectory velmor;
    ASSERT_EQ(IrcSettingsDirectory::OpenDirectory(&velmor), B_OK); // the server list's way
    EXPECT_TRUE(Exists("Velmor"));
    EXPECT_TRUE(Exists("IRC"));
    ASSERT_EQ(window.OpenProgramFile(), B_OK);
    EXPECT_TRUE(Exists("Velmor/IRCSettings"));
}

TEST_F(Settings, ColoursLiveInTheirOwnFile)
{
    IrcSettingsFile program, colours;
    ASSERT_EQ(program.OpenWithMigration(), B_OK);
    ASSERT_EQ(colours.OpenColourFile(), B_OK);
    EXPECT_TRUE(Exists("IRCSettings"));
    ASSERT_EQ(colours.WriteColor("fTabView", make_color(10, 20, 30, 255)), B_OK);
    ASSERT_EQ(program.WriteColor("fTabView", make_color(1, 1, 1, 1)), B_OK);
    rgb_color color = {};
    IrcSettingsFile again;
    ASSERT_EQ(again.OpenColourFile(), B_OK);
    ASSERT_TRUE(again.ReadColor("fTabView", &color));
    EXPECT_EQ(color, make_color(10, 20, 30, 255));
    IrcSettingsFile programAgain;
    ASSERT_EQ(programAgain.OpenProgramFile(), B_OK);
    ASSERT_TRUE(programAgain.ReadColor("fTabView", &color));
    EXPECT_EQ(color, make_color(1, 1, 1, 1));
}

class Rules : public Settings
{
protected:
    void SetUp() override
    {
        Settings::SetUp();
        ASSERT_EQ(fFile.OpenWithMigration(), B_OK);
    }
    // Stores raw bytes, as a damaged or foreign writer might.
    void Raw(const char* name, type_code type, const void* bytes, size_t size)
    {
        ASSERT_EQ(fFile.File()->WriteAttr(name, type, 0, bytes, size), static_cast<ssize_t>(size));
    }
    IrcSettingsFile fFile;
};

TEST_F(Rules, EachTypeRoundTripsWithExactEncodings)
{
    ASSERT_EQ(fFile.WriteString("Nick", "bob"), B_OK);
    ASSERT_EQ(fFile.WriteRect("MainViewFrame", BRect(10, 20, 310, 220)), B_OK);
    ASSERT_EQ(fFile.WriteBool("ConnectAtStartup", true), B_OK);
    ASSERT_EQ(fFile.WriteFloat("hfTextFontSize", 12.5f), B_OK);
    ASSERT_EQ(fFile.WriteInt32("hfTextFontCode", -42), B_OK);
    ASSERT_EQ(fFile.WriteColor("box", make_color(5, 6, 7, 8)), B_OK);

    struct Encoding
    {
        const char* name;
        type_code type;
        off_t size;
    } encodings[] = {
        {"Nick", B_STRING_TYPE, 3},           {"MainViewFrame", B_RECT_TYPE, 16},
        {"ConnectAtStartup", B_BOOL_TYPE, 1}, {"hfTextFontSize", B_FLOAT_TYPE, 4},
        {"hfTextFontCode", B_INT32_TYPE, 4},  {"box", B_ANY_TYPE, 4},
    };
    for (const Encoding& e : encodings) {
        attr_info info;
        ASSERT_EQ(fFile.File()->GetAttrInfo(e.name, &info), B_OK) << e.name;
        EXPECT_EQ(info.type, e.type) << e.name;
        EXPECT_EQ(info.size, e.size) << e.name;
    }
    uint8 colorBytes[4];
    ASSERT_EQ(fFile.File()->ReadAttr("box", B_ANY_TYPE, 0, colorBytes, 4), 4);
    EXPECT_EQ(colorBytes[0], 5); // red first
    EXPECT_EQ(colorBytes[3], 8);

    char nick[256];
    BRect frame;
    bool connect = false;
    float size = 0;
    int32 code = 0;
    rgb_color color;
    EXPECT_TRUE(fFile.ReadString("Nick", nick, sizeof nick));
    EXPECT_STREQ(nick, "bob");
    EXPECT_TRUE(fFile.ReadRect("MainViewFrame", &frame));
    EXPECT_EQ(frame, BRect(10, 20, 310, 220));
    EXPECT_TRUE(fFile.ReadBool("ConnectAtStartup", &connect));
    EXPECT_TRUE(connect);
    EXPECT_TRUE(fFile.ReadFloat("hfTextFontSize", &size));
    EXPECT_EQ(size, 12.5f);
    EXPECT_TRUE(fFile.ReadInt32("hfTextFontCode", &code));
    EXPECT_EQ(code, -42);
    EXPECT_TRUE(fFile.ReadColor("box", &color));
    EXPECT_EQ(color, make_color(5, 6, 7, 8));
}

TEST_F(Rules, AnEmptyStringReadsAsEmpty)
{
    ASSERT_EQ(fFile.WriteString("QuitMessage", ""), B_OK);
    char text[64] = "default";
    EXPECT_TRUE(fFile.ReadString("QuitMessage", text, sizeof text));
    EXPECT_STREQ(text, "");
}

TEST_F(Rules, StringsOfAnotherTypeReadAsEmpty)
{
    Raw("Nick", B_RAW_TYPE, "bob", 3);
    char nick[64] = "default";
    EXPECT_FALSE(fFile.ReadString("Nick", nick, sizeof nick));
    EXPECT_STREQ(nick, "");
}

TEST_F(Rules, LongStringsAreCutWithoutSplittingCharacters)
{
    ASSERT_EQ(fFile.WriteString("RealString", "Zo\xc3\xab Zo\xc3\xab"), B_OK);
    char shortBuffer[4];
    EXPECT_TRUE(fFile.ReadString("RealString", shortBuffer, sizeof shortBuffer));
    EXPECT_STREQ(shortBuffer, "Zo"); // one byte is left for the two-byte ë
}

TEST_F(Rules, FixedSizeValuesOfTheWrongSizeOrTypeAreIgnored)
{
    float twelve[3] = {1, 2, 3};
    float seventeen[5] = {1, 2, 3, 4, 5};
    struct Case
    {
        const char* name;
        type_code type;
        const void* bytes;
        size_t size;
    } cases[] = {
        {"twelveByteRect", B_RECT_TYPE, twelve, 12},
        {"seventeenByteRect", B_RECT_TYPE, seventeen, 17},
        {"rectAsRaw", B_RAW_TYPE, seventeen, 16},
    };
    for (const Case& c : cases) {
        Raw(c.name, c.type, c.bytes, c.size);
        BRect frame(400, 400, 750, 700);
        EXPECT_FALSE(fFile.ReadRect(c.name, &frame)) << c.name;
        EXPECT_EQ(frame, BRect(400, 400, 750, 700)) << c.name;
    }
    Raw("flag", B_BOOL_TYPE, "\1\1", 2);
    bool flag = false;
    EXPECT_FALSE(fFile.ReadBool("flag", &flag));
    EXPECT_FALSE(flag);
    Raw("size", B_INT32_TYPE, "\0\0\0\0", 4); // a float stored as LONG
    float size = 3;
    EXPECT_FALSE(fFile.ReadFloat("size", &size));
    EXPECT_EQ(size, 3);
}

class FrameWindow : public BWindow
{
public:
    FrameWindow() : BWindow(BRect(400, 400, 750, 700), "Velmor", B_TITLED_WINDOW, 0) {}
};

TEST_F(Rules, AFrameIsAppliedAsResizeThenMoveAndATwelveByteOneIsIgnored)
{
    auto* window = new FrameWindow; // locked by this thread, never run
    ASSERT_EQ(fFile.WriteRect("hFrame", BRect(10, 20, 110, 70)), B_OK);
    EXPECT_TRUE(fFile.ReadFrame("hFrame", window));
    EXPECT_EQ(window->Frame(), BRect(10, 20, 110, 70));

    float twelve[3] = {0, 0, 5};
    Raw("#xhFrame", B_RECT_TYPE, twelve, 12);
    EXPECT_FALSE(fFile.ReadFrame("#xhFrame", window));
    EXPECT_EQ(window->Frame(), BRect(10, 20, 110, 70));
    window->Quit();
}

TEST(WindowKey, NameThenServerThenSuffix)
{
    EXPECT_EQ(IrcWindowKey("#x", "h").AttrName("Frame"), "#xhFrame");
    EXPECT_EQ(IrcWindowKey("#x", "h").AttrName("Magic"), "#xhMagic");
    EXPECT_EQ(IrcWindowKey("h", nullptr).AttrName("Frame"), "hFrame");
    EXPECT_STREQ(IrcWindowKey("bob", "irc.example.org").Key(), "bobirc.example.org");
    EXPECT_NE(IrcWindowKey("#x", "h").AttrName("Frame"),
              IrcWindowKey("#x", "other").AttrName("Frame"));
}

} // namespace
