// The channel user list: name lists, joins, removals and nick changes as the server reports
// them, the order and colours shown, the counts, and the nick set routing relies on.

#include "UserListFixture.h"

#include <IrcItem.h>
#include <IrcListView.h>
#include <irc_user.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <strings.h>

namespace displaytest {
namespace {

class UserListTest : public UserListFixture
{
protected:
    bool HasNick(IrcDisplayWindow* window, const char* nick)
    {
        return window->Info()->HasNick(nick);
    }
    bool Contains(IrcDisplayWindow* window, const char* nick)
    {
        EXPECT_TRUE(window->Lock());
        bool contains = window->Contains(nick);
        window->Unlock();
        return contains;
    }
};

TEST_F(UserListTest, ANameListGivesRowsInOrderWithTheirColoursAndCounts)
{
    IrcDisplayWindow* window = Join("#chan", "@zed +amy bob Carl");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Marks(View(window, "fUsers")), "@zed +amy bob Carl");
    EXPECT_EQ(CountsOf(window), (Counts{4, 1}));
    EXPECT_EQ(window->Info()->CountNicks(), 4u);
    EXPECT_TRUE(HasNick(window, "Carl"));
    EXPECT_TRUE(Contains(window, "Carl"));
    EXPECT_FALSE(Contains(window, "carl")); // exact, unlike removal
    EXPECT_FALSE(Contains(window, "@zed"));
}

TEST_F(UserListTest, SeveralNameListsMergeIntoOneOrder)
{
    IrcDisplayWindow* window = Join("#chan");
    Feed({":irc.test 353 me = #chan :Carl +amy", ":irc.test 353 me = #chan :@+zed bob @Amy  _x",
          ":irc.test 366 me #chan :End of NAMES list"});
    EXPECT_EQ(Marks(View(window, "fUsers")), "@Amy @zed +amy _x bob Carl");
    EXPECT_EQ(CountsOf(window), (Counts{6, 2}));
}

TEST_F(UserListTest, RepeatedNamesAndJoinsUpdateTheRowInsteadOfAddingOne)
{
    IrcDisplayWindow* window = Join("#chan", "@zed +amy bob Carl");
    Feed(std::vector<std::string>{":irc.test 353 me = #chan :@zed amy +bob",
                                  ":irc.test 366 me #chan :End of NAMES list"});
    EXPECT_EQ(Marks(View(window, "fUsers")), "@zed +bob amy Carl");
    EXPECT_EQ(CountsOf(window), (Counts{4, 1}));

    // Joining again means starting without marks.
    Feed(":zed!z@host.example JOIN :#chan");
    EXPECT_EQ(Marks(View(window, "fUsers")), "+bob amy Carl zed");
    EXPECT_EQ(CountsOf(window), (Counts{4, 0}));
    EXPECT_EQ(window->Info()->CountNicks(), 4u);
}

TEST_F(UserListTest, AJoinAddsAPlainRowAtItsPlace)
{
    IrcDisplayWindow* window = Join("#chan", "@zed +amy bob Carl");
    Feed(":Bea!b@host.example JOIN :#chan");
    EXPECT_EQ(Marks(View(window, "fUsers")), "@zed +amy Bea bob Carl");
    EXPECT_EQ(CountsOf(window), (Counts{5, 1}));
    EXPECT_TRUE(HasNick(window, "Bea"));
    EXPECT_NE(LastLine(window).find("Bea (b@host.example) has joined"), std::string::npos);
}

TEST_F(UserListTest, PartsQuitsAndKicksRemoveTheTopmostRowIgnoringCase)
{
    IrcDisplayWindow* window = Join("#chan", "@zed +amy bob Carl dan +Dan");
    Feed({":CARL!c@h PART #chan", ":zed!z@h QUIT :bye", ":amy!a@h KICK #chan DAN :out",
          ":ghost!g@h PART #chan"});
    // The voiced Dan stands above dan, so he is the one who goes.
    EXPECT_EQ(Marks(View(window, "fUsers")), "+amy bob dan");
    EXPECT_EQ(CountsOf(window), (Counts{3, 0}));
    EXPECT_FALSE(HasNick(window, "Carl"));
    EXPECT_FALSE(Contains(window, "Dan"));
    EXPECT_TRUE(Contains(window, "dan"));
    EXPECT_NE(LastLine(window).find("ghost has left"), std::string::npos);
}

TEST_F(UserListTest, ANickChangeMovesTheRowAndKeepsItsMarks)
{
    IrcDisplayWindow* window = Join("#chan", "@zed +amy bob Carl stale");
    Feed({":zed!z@h NICK :Abe", ":bob!b@h NICK :Zoe", ":Amy!a@h NICK :nobody"});
    EXPECT_EQ(Marks(View(window, "fUsers")), "@Abe +amy Carl stale Zoe");
    EXPECT_TRUE(HasNick(window, "Zoe"));
    EXPECT_FALSE(HasNick(window, "bob"));
    EXPECT_TRUE(Contains(window, "Abe"));

    // A nick names one user: a row left over under the new nick gives way.
    Feed(":amy!a@h NICK :stale");
    EXPECT_EQ(Marks(View(window, "fUsers")), "@Abe +stale Carl Zoe");
    EXPECT_EQ(CountsOf(window), (Counts{4, 1}));
    EXPECT_EQ(window->Info()->CountNicks(), 4u);
}

TEST_F(UserListTest, LongNicksAreCutWithoutSplittingACharacter)
{
    // 254 bytes, then a two-byte character that would end at byte 256.
    const std::string nick = std::string(254, 'n') + "\xc3\xa9" + "xyz";
    const std::string kept(254, 'n');
    IrcDisplayWindow* window = Join("#chan", ("bob " + nick).c_str());
    EXPECT_EQ(Rows(window), (std::vector<std::string>{"bob", kept}));
    EXPECT_TRUE(Contains(window, kept.c_str()));
    // Routing compares the nick as the server sends it.
    EXPECT_TRUE(HasNick(window, nick.c_str()));

    Feed(":" + nick + "!u@h PART #chan");
    EXPECT_EQ(Rows(window), std::vector<std::string>{"bob"});
    EXPECT_EQ(CountsOf(window), (Counts{1, 0}));
}

TEST_F(UserListTest, OtherWindowsContainOnlyTheirOwnName)
{
    IrcDisplayWindow* window = OpenPrivate("Peer");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Contains(window, "Peer"));
    EXPECT_FALSE(Contains(window, "peer"));
    EXPECT_TRUE(Rows(window).empty());
}

TEST(UserListSortTest, OperatorsThenVoicedUsersThenEveryoneAlphabeticallyIgnoringCase)
{
    struct Case
    {
        const char* a; // marked as in a name list
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"@zed", "+amy", -1},
        {"+zed", "amy", -1},
        {"@Bob", "@amy", 1},
        {"Carl", "bob", 1},
        {"bob", "Bob", 0},
        {"_x", "amy", -1},
        {"+amy", "@amy", 1},
        {"amy", "amy2", -1},
        // Past the part of the key a row keeps, the rest of the nick still decides.
        {"averyveryverylongnickA", "AVERYVERYVERYLONGNICKb", -1},
        {"@fifteen-chars-x", "@fifteen-chars-xy", -1},
        {"sixteen-chars-xx", "Sixteen-Chars-XX", 0},
        {"sixteen-chars-xx", "sixteen-chars-xx\xc3\xa9", -1},
    };
    auto item = [](const char* marked) {
        auto* user = new irc_user;
        user->op = marked[0] == '@';
        user->voice = marked[0] == '@' || marked[0] == '+';
        user->SetNick(user->voice ? marked + 1 : marked);
        return std::make_unique<IrcItem>(user->nick, IrcItem::kNormalColor, user);
    };
    for (const Case& c : cases) {
        auto a = item(c.a);
        auto b = item(c.b);
        BListItem* rowA = a.get();
        BListItem* rowB = b.get();
        int result = IrcDisplayWindow::sort_func(&rowA, &rowB);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " " << c.b;
    }
}

// Ops first, then voiced users, then the rest, each alphabetically ignoring case.
bool ShownBefore(const std::string& a, const std::string& b)
{
    auto rank = [](const std::string& marked) { return std::string("@+").find(marked[0]); };
    auto name = [](const std::string& marked) {
        return marked[0] == '@' || marked[0] == '+' ? marked.substr(1) : marked;
    };
    if (rank(a) != rank(b))
        return rank(a) < rank(b);
    return strcasecmp(name(a).c_str(), name(b).c_str()) < 0;
}

TEST_F(UserListTest, AChannelOfFiveThousandStaysInOrderThroughJoinsAndParts)
{
    IrcDisplayWindow* window = Join("#big");
    std::vector<std::string> expected;
    std::vector<std::string> lines;
    std::string names;
    for (int i = 0; i < 5000; i++) {
        std::string marked = (i % 50 == 0  ? "@"
                              : i % 7 == 0 ? "+"
                                           : "") +
                             std::string(i % 2 ? "User" : "user") + std::to_string(i * 7919 % 5000);
        expected.push_back(marked);
        names += (names.empty() ? "" : " ") + marked;
        if (names.size() > 400) {
            lines.push_back(":irc.test 353 me = #big :" + names);
            names.clear();
        }
    }
    lines.push_back(":irc.test 353 me = #big :" + names);
    lines.push_back(":irc.test 366 me #big :End of NAMES list");
    Feed(lines);

    // Two hundred leave and come back plain; two hundred new users join and half leave.
    lines.clear();
    for (int i = 0; i < 200; i++) {
        std::string& marked = expected[static_cast<size_t>(i * 13)];
        std::string nick = marked[0] == '@' || marked[0] == '+' ? marked.substr(1) : marked;
        lines.push_back(":" + nick + "!u@h PART #big");
        lines.push_back(":" + nick + "!u@h JOIN :#big");
        marked = nick;
        lines.push_back(":new" + std::to_string(i) + "!n@h JOIN :#big");
        if (i % 2)
            lines.push_back(":NEW" + std::to_string(i) + "!n@h PART #big");
        else
            expected.push_back("new" + std::to_string(i));
    }
    Feed(lines);

    std::sort(expected.begin(), expected.end(), ShownBefore);
    std::string joined;
    for (const std::string& marked : expected)
        joined += (joined.empty() ? "" : " ") + marked;
    EXPECT_EQ(Marks(View(window, "fUsers")), joined);
    int32 ops = static_cast<int32>(std::count_if(expected.begin(), expected.end(),
                                                 [](const std::string& m) { return m[0] == '@'; }));
    EXPECT_EQ(CountsOf(window), (Counts{5100, ops}));
    EXPECT_EQ(window->Info()->CountNicks(), 5100u);
}

} // namespace
} // namespace displaytest
