// A conversation window's settings on disk: every value under its window key with its type
// and size, restored when the same conversation on the same server opens again, and not
// taken by the same channel on another server; missing, short or unknown values leave the
// defaults.

#include "DisplayFixture.h"

#include <FontProvider.h>
#include <IrcDisplayWindow.h>
#include <IrcSettingsFile.h>
#include <ScrollView.h>

#include <Font.h>
#include <Messenger.h>
#include <OS.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>

namespace displaytest {
namespace {

struct Stored
{
    uint32 type = 0;
    std::string bytes;
};

class WindowSettingsTest : public DisplayFixture
{
protected:
    void SetUp() override
    {
        // The main view makes the program's directory at start-up.
        ASSERT_EQ(mkdir((fHome.Path() + "/Velmor").c_str(), 0700), 0);
        DisplayFixture::SetUp();
    }

    std::string FilePath() const { return fHome.Path() + "/Velmor/IRCSettings"; }

    // Every attribute of the settings file, as stored.
    std::map<std::string, Stored> Attributes() const
    {
        std::map<std::string, Stored> attributes;
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(FilePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
                  SQLITE_OK);
        sqlite3_stmt* select = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, "SELECT name, type, value FROM attributes", -1, &select,
                                     nullptr),
                  SQLITE_OK);
        while (select != nullptr && sqlite3_step(select) == SQLITE_ROW) {
            Stored value;
            value.type = static_cast<uint32>(sqlite3_column_int64(select, 1));
            value.bytes.assign(static_cast<const char*>(sqlite3_column_blob(select, 2)),
                               static_cast<size_t>(sqlite3_column_bytes(select, 2)));
            attributes[reinterpret_cast<const char*>(sqlite3_column_text(select, 0))] = value;
        }
        sqlite3_finalize(select);
        sqlite3_close(db);
        return attributes;
    }

    template <typename T>
    T Value(const std::map<std::string, Stored>& attributes, const std::string& name, uint32 type)
    {
        T value{};
        auto found = attributes.find(name);
        EXPECT_NE(found, attributes.end()) << name;
        if (found == attributes.end())
            return value;
        EXPECT_EQ(found->second.type, type) << name;
        EXPECT_EQ(found->second.bytes.size(), sizeof(T)) << name;
        if (found->second.bytes.size() == sizeof(T))
            memcpy(&value, found->second.bytes.data(), sizeof(T));
        return value;
    }

    // Closes the window and waits until it is gone (it writes its settings on the way).
    void Close(IrcDisplayWindow* window)
    {
        const BMessenger messenger(window);
        const std::shared_ptr<IrcWindowInfo> info = window->Info();
        fDisplay->CloseWindow(window);
        for (int i = 0; i < 5000 && (messenger.IsValid() || !info->IsClosed()); i++)
            snooze(1000);
        ASSERT_TRUE(info->IsClosed());
        Settle();
        Wire();
    }

    // The body font of the window's newest line.
    BFont BodyFont(IrcDisplayWindow* window)
    {
        Feed(":amy!a@h PRIVMSG #x :probe");
        const kit_private::ShownView view = View(window, "fDisplay");
        const size_t body = std::string_view(view.text).rfind("probe");
        BFont font;
        for (const auto& run : view.runs) {
            if (static_cast<size_t>(run.offset) <= body)
                font = run.font;
        }
        return font;
    }

    float ListWidth(IrcDisplayWindow* window)
    {
        EXPECT_TRUE(window->Lock());
        BView* text = window->FindView("fDisplay");
        const float right = text->Parent()->ConvertToParent(text->Frame()).right;
        const float width = window->Bounds().right - (right + 5) - 14;
        window->Unlock();
        return width;
    }
};

TEST_F(WindowSettingsTest, NoSettingsGiveTheDefaults)
{
    IrcDisplayWindow* window = Join("#x");
    EXPECT_EQ(Shown(window)->frame, BRect(400, 400, 750, 700));
    EXPECT_EQ(BodyFont(window), *be_fixed_font);
    EXPECT_EQ(ListWidth(window), 80);
}

TEST_F(WindowSettingsTest, ClosingWritesEveryValueUnderTheKeyAndReopeningRestoresThem)
{
    IrcDisplayWindow* window = Join("#x");
    fDisplay->ChooseMenuItem(window, {"Options", "Channel Font", "Size", "20"});
    fDisplay->ChooseMenuItem(
        window, {"Options", "Nick names, joins, modes, etc. Font", "DejaVu Serif", "Bold"});
    fDisplay->PressMouse(window, "fEdge", BPoint(2, 40));
    fDisplay->MoveMouse(window, "fEdge", BPoint(2 - 30, 40), 1);
    fDisplay->ReleaseMouse(window, "fEdge", BPoint(2 - 30, 40));
    Settle();
    ASSERT_TRUE(window->Lock());
    window->MoveTo(120, 130);
    window->ResizeTo(500, 420);
    window->Unlock();
    Close(window);

    const std::map<std::string, Stored> stored = Attributes();
    const std::string key = "#x127.0.0.1";
    EXPECT_EQ(Value<float>(stored, key + "fTextFontSize", 'FLOT'), 20);
    EXPECT_EQ(static_cast<uint32>(Value<int32>(stored, key + "fTextFontCode", 'LONG')),
              be_fixed_font->FamilyAndStyle());
    EXPECT_EQ(Value<float>(stored, key + "fMessageFontSize", 'FLOT'), 12);
    EXPECT_EQ(static_cast<uint32>(Value<int32>(stored, key + "fMessageFontCode", 'LONG')),
              kit_private::font_code("DejaVu Serif", "Bold"));
    const auto frame = Value<std::array<float, 4>>(stored, key + "Frame", 'RECT');
    EXPECT_EQ(frame, (std::array<float, 4>{120, 130, 620, 550}));
    EXPECT_EQ(Value<int32>(stored, key + "Magic", 'LONG'), 110);
    EXPECT_EQ(Value<bool>(stored, "OpsFirst", 'BOOL'), true);

    window = Join("#x");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Shown(window)->frame, BRect(120, 130, 620, 550));
    EXPECT_EQ(BodyFont(window).Size(), 20);
    EXPECT_EQ(BodyFont(window).FamilyAndStyle(), be_fixed_font->FamilyAndStyle());
    EXPECT_EQ(ListWidth(window), 110);

    // The server window keeps its frame under its host name, without a list width.
    ASSERT_TRUE(ServerWindow()->Lock());
    ServerWindow()->WriteSettings();
    ServerWindow()->Unlock();
    const std::map<std::string, Stored> after = Attributes();
    EXPECT_EQ(after.count("127.0.0.1Frame"), 1u);
    EXPECT_EQ(after.count("127.0.0.1Magic"), 0u);
}

TEST_F(WindowSettingsTest, OtherServersShortValuesAndUnknownFontsLeaveTheDefaults)
{
    {
        IrcSettingsFile file;
        ASSERT_EQ(file.OpenProgramFile(), B_OK);
        // The same channel on another server.
        ASSERT_EQ(file.WriteRect("#xother.hostFrame", BRect(10, 10, 300, 300)), B_OK);
        ASSERT_EQ(file.WriteInt32("#xother.hostMagic", 200), B_OK);
        ASSERT_EQ(file.WriteFloat("#xother.hostfTextFontSize", 30), B_OK);
        // This server: a font nobody has installed, and a frame cut short.
        ASSERT_EQ(file.WriteInt32("#x127.0.0.1fTextFontCode",
                                  static_cast<int32>(kit_private::font_code("Gone", "Away"))),
                  B_OK);
        ASSERT_EQ(file.WriteFloat("#x127.0.0.1fTextFontSize", 16), B_OK);
        const float shortFrame[3] = {1, 2, 3};
        ASSERT_EQ(
            file.File()->WriteAttr("#x127.0.0.1Frame", 'RECT', 0, shortFrame, sizeof(shortFrame)),
            static_cast<ssize_t>(sizeof(shortFrame)));
    }
    IrcDisplayWindow* window = Join("#x");
    EXPECT_EQ(Shown(window)->frame, BRect(400, 400, 750, 700));
    EXPECT_EQ(ListWidth(window), 80);
    const BFont body = BodyFont(window);
    EXPECT_EQ(body.FamilyAndStyle(), be_fixed_font->FamilyAndStyle());
    EXPECT_EQ(body.Size(), 16);
}

} // namespace
} // namespace displaytest
