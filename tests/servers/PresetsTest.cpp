// The built-in presets and the application icon that dragged rows show.

#include <AppIcon.h>
#include <DefaultList.h>

#include <Bitmap.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

TEST(DefaultList, TwentyOnePresetsByNetworkInTableOrder)
{
    DefaultList list;
    ASSERT_EQ(list.CountItems(), 21);
    std::vector<uint32> ircnetPorts;
    std::set<std::string> hosts;
    for (int32 i = 0; i < list.CountItems(); i++) {
        const IrcServer* server = list.ServerAt(i);
        ASSERT_NE(server, nullptr);
        server_network want = i < 14 ? NETWORK_EFNET : i < 19 ? NETWORK_IRCNET : NETWORK_OTHER;
        EXPECT_EQ(server->network, want) << i;
        EXPECT_STREQ(server->label, server->host);
        EXPECT_GT(strlen(server->host), 0u);
        EXPECT_TRUE(hosts.insert(server->host).second) << "twice: " << server->host;
        if (server->network == NETWORK_IRCNET)
            ircnetPorts.push_back(server->port);
        else
            EXPECT_EQ(server->port, 6667u) << server->host;
    }
    EXPECT_EQ(ircnetPorts, (std::vector<uint32>{6667, 6667, 6666, 6680, 6667}));
    EXPECT_EQ(static_cast<uint32>(NETWORK_EFNET), 0x65666E74u);
    EXPECT_EQ(static_cast<uint32>(NETWORK_IRCNET), 0x65666E75u);
    EXPECT_EQ(static_cast<uint32>(NETWORK_OTHER), 0x65666E80u);
}

TEST(DefaultList, RecordsAreCopiedByValue)
{
    DefaultList list;
    IrcServer copy = *list.ServerAt(16);
    EXPECT_STREQ(copy.host, list.ServerAt(16)->host);
    EXPECT_EQ(copy.port, 6666u);
    IrcServer made("irc.example.org", 7000, NETWORK_OTHER);
    EXPECT_STREQ(made.label, "irc.example.org");
    EXPECT_EQ(made.port, 7000u);
}

TEST(AppIcon, ABubbleWithDotsOnARoundedBlueSquare)
{
    BBitmap icon(BRect(0, 0, 31, 31), B_CMAP8);
    ASSERT_EQ(GetAppIcon(&icon), B_OK);
    const rgb_color transparent = icon.ColorAt(0, 0);
    EXPECT_EQ(transparent.alpha, 0); // rounded corners
    EXPECT_EQ(icon.ColorAt(31, 31).alpha, 0);
    EXPECT_EQ(icon.ColorAt(0, 31).alpha, 0);
    const rgb_color blue = icon.ColorAt(16, 1);
    EXPECT_EQ(blue.alpha, 255);
    EXPECT_EQ(blue.red, 0);
    EXPECT_EQ(blue.green, 0);
    EXPECT_NEAR(blue.blue, 200, 10);
    EXPECT_EQ(icon.ColorAt(30, 16), blue);
    EXPECT_EQ(icon.ColorAt(16, 30), blue);
    const rgb_color white = make_color(255, 255, 255);
    EXPECT_EQ(icon.ColorAt(16, 8), white);  // the bubble
    EXPECT_EQ(icon.ColorAt(16, 18), white); // between the dots and its bottom
    EXPECT_EQ(icon.ColorAt(9, 22), white);  // its tail
    int dots = 0;
    for (int32 x = 0; x < 32; x++) {
        rgb_color c = icon.ColorAt(x, 13);
        bool dark = c.alpha == 255 && c.red < 60 && c.green < 60 && c.blue < 100;
        bool darkBefore = x > 0 && [&] {
            rgb_color p = icon.ColorAt(x - 1, 13);
            return p.alpha == 255 && p.red < 60 && p.green < 60 && p.blue < 100;
        }();
        dots += dark && !darkBefore;
    }
    EXPECT_EQ(dots, 3);
}

TEST(AppIcon, RefusesBitmapsOfAnotherKind)
{
    BBitmap rgb(BRect(0, 0, 31, 31), B_RGB32);
    BBitmap big(BRect(0, 0, 63, 63), B_CMAP8);
    EXPECT_EQ(GetAppIcon(&rgb), B_BAD_VALUE);
    EXPECT_EQ(GetAppIcon(&big), B_BAD_VALUE);
    EXPECT_EQ(GetAppIcon(nullptr), B_BAD_VALUE);
    EXPECT_EQ(big.ColorAt(0, 0), make_color(0, 0, 0)); // untouched (index 0)
}

} // namespace
