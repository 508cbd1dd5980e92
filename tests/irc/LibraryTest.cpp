// String helpers, bounded text, the reply limiter and the reply texts.

#include "IrcReplyLimiter.h"
#include "IrcTestUtil.h"
#include "irc_text.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace irctest {
namespace {

std::string Stripped(std::string text, char c)
{
    IRC_strip_char(text.data(), c);
    return text.c_str();
}

std::string Stopped(std::string text, char c)
{
    IRC_stop_at(text.data(), c);
    return text.c_str();
}

std::string CopiedTill(const char* source, char c, size_t size = 64)
{
    std::string destination(size, '#');
    IRC_cpy_till(destination.data(), source, c, size);
    return destination.c_str();
}

TEST(StringHelpersTest, StripStopCopy)
{
    EXPECT_EQ(Stripped(":a:b", ':'), "ab");
    EXPECT_EQ(Stripped("::::", ':'), "");
    EXPECT_EQ(Stripped("none", ':'), "none");
    EXPECT_EQ(Stripped(std::string(3000, 'a') + ":", ':'), std::string(3000, 'a'));
    EXPECT_EQ(Stopped("x!y!z", '!'), "x");
    EXPECT_EQ(Stopped("!x", '!'), "");
    EXPECT_EQ(Stopped("xyz", '!'), "xyz");
    EXPECT_EQ(CopiedTill("nick rest", ' '), "nick");
    EXPECT_EQ(CopiedTill("nick", ' '), "nick");
    EXPECT_EQ(CopiedTill(" lead", ' '), "");
}

TEST(StringHelpersTest, CopyIsBoundedOnCharacterBoundaries)
{
    EXPECT_EQ(CopiedTill("abcdefgh", ' ', 5), "abcd");
    EXPECT_EQ(CopiedTill("ab\xc3\xa9z", ' ', 4), "ab");         // é would not fit whole
    EXPECT_EQ(CopiedTill("ab\xc3\xa9z", ' ', 5), "ab\xc3\xa9"); // it does now
    std::string guard(8, '#');
    IRC_cpy_till(guard.data(), "0123456789", ' ', 4);
    EXPECT_EQ(guard, std::string("012\0####", 8));
}

TEST(BoundedTextTest, CutPoints)
{
    struct
    {
        std::string text;
        size_t max;
        size_t cut;
    } cases[] = {
        {"abc", 10, 3},
        {"abc", 2, 2},
        {"a\xc3\xa9", 2, 1},             // inside a two-byte sequence
        {"a\xe2\x82\xac", 3, 1},         // inside a three-byte one
        {"\xf0\x9f\x98\x80x", 4, 4},     // just after a four-byte one
        {"\xf0\x9f\x98\x80x", 3, 0},     // inside it
        {"a\x80\x80\x80\x80\x80", 3, 3}, // stray continuation bytes: cut anywhere
        {"\xc3\xa9\x80", 2, 2},          // a complete sequence, then a stray byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(irc_utf8_cut(c.text, c.max), c.cut) << c.text << " " << c.max;
}

TEST(ReplyLimiterTest, SlidingWindow)
{
    IrcReplyLimiter limiter;
    for (int64_t t : {0, 100, 200, 300})
        EXPECT_TRUE(limiter.Allow(1000 + t)) << t;
    EXPECT_FALSE(limiter.Allow(1400));
    EXPECT_FALSE(limiter.Allow(10999)); // the first is still inside the window
    EXPECT_TRUE(limiter.Allow(11000));  // now it has left it
    EXPECT_FALSE(limiter.Allow(11050)); // 100, 200, 300 and 11000 are inside
    EXPECT_TRUE(limiter.Allow(11100));
    EXPECT_TRUE(limiter.Allow(40000));
}

TEST(GlobalsTest, InitAndBoundedCopies)
{
    EXPECT_EQ(IRC_Init(), 1);
    EXPECT_STREQ(IRC_VersionResponse, "Powered by Oswick, stronger than you");
    EXPECT_STREQ(IRC_FingerResponse, "stop please");
    EXPECT_STREQ(IRC_WarezResponse, "Go away.");
    ServPtr serv(IRC_GetServ());
    IRC_StartConnect(serv.get(), std::string(100, 'z').c_str(), 1, "a", "b", nullptr, "c", "d");
    char small[10];
    memset(small, '#', sizeof(small));
    IRC_CopyError(small, 6);
    EXPECT_STREQ(small, "Could");
    EXPECT_EQ(small[6], '#');
}

} // namespace
} // namespace irctest
