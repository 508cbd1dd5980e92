// Channel mode changes as they reach a channel window: operator and voice letters change
// the marks, colours, counts and order of the users they name; everything else changes no
// row.

#include "UserListFixture.h"

#include <IrcListView.h>

#include <gtest/gtest.h>

namespace displaytest {
namespace {

using ModeChangeTest = UserListFixture;

TEST_F(ModeChangeTest, EachLetterChangesItsOwnUser)
{
    struct Case
    {
        const char* change; // as the server sends it after the channel
        const char* rows;   // the list afterwards, marked as a name list would be
        int32 ops;
    };
    // Every case starts from "@zed +amy bob Carl".
    const Case cases[] = {
        {"+o bob", "@bob @zed +amy Carl", 2},
        {"+o zed", "@zed +amy bob Carl", 1},
        {"-o zed", "+amy bob Carl zed", 0},
        {"+v zed", "@zed +amy bob Carl", 1},
        {"-v zed", "@zed +amy bob Carl", 1},
        {"+v bob", "@zed +amy +bob Carl", 1},
        {"-v amy", "@zed amy bob Carl", 1},
        {"-o amy", "@zed +amy bob Carl", 1},
        {"+oo amy bob", "@amy @bob @zed Carl", 3},
        {"+ov amy bob", "@amy @zed +bob Carl", 2},
        {"-o+v zed bob", "+amy +bob Carl zed", 0},
        {"+v-o Carl zed", "+amy +Carl bob zed", 0},
        {"+bo *!*@spam.example bob", "@bob @zed +amy Carl", 2},
        {"+lo 10 bob", "@bob @zed +amy Carl", 2},
        {"-l+o bob", "@bob @zed +amy Carl", 2},
        {"+k-v secret amy", "@zed amy bob Carl", 1},
        {"+o :Carl", "@Carl @zed +amy bob", 2},
        {"+o Bob", "@zed +amy bob Carl", 1},
        {"+nt", "@zed +amy bob Carl", 1},
        {"+o", "@zed +amy bob Carl", 1},
        {"+oo bob", "@bob @zed +amy Carl", 2},
        {"+o nobody", "@zed +amy bob Carl", 1},
    };
    IrcDisplayWindow* window = Join("#chan");
    ASSERT_NE(window, nullptr);
    for (const Case& c : cases) {
        // A fresh name list gives every user the marks it lists.
        Feed(std::vector<std::string>{":irc.test 353 me = #chan :@zed +amy bob Carl",
                                      ":irc.test 366 me #chan :End of NAMES list"});
        ASSERT_EQ(Marks(View(window, "fUsers")), "@zed +amy bob Carl");
        Feed(std::string(":op!o@h MODE #chan ") + c.change);
        EXPECT_EQ(Marks(View(window, "fUsers")), c.rows) << c.change;
        EXPECT_EQ(CountsOf(window), (Counts{4, c.ops})) << c.change;
    }
}

TEST_F(ModeChangeTest, ASelectedUserStaysSelectedWhenMoved)
{
    IrcDisplayWindow* window = Join("#chan", "@zed +amy bob Carl");
    ASSERT_TRUE(window->Lock());
    window->UserListView()->Select(3); // Carl
    window->Unlock();
    Feed(":op!o@h MODE #chan +o Carl");
    EXPECT_EQ(Marks(View(window, "fUsers")), "@Carl @zed +amy bob");
    EXPECT_EQ(View(window, "fUsers").selectedRows, std::vector<int32>{0});
}

} // namespace
} // namespace displaytest
