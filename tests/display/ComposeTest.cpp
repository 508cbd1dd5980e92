// Lines put together into fixed buffers: the same text as printf would give, cut only
// between characters, and a cut line keeps its line end.

#include <Compose.h>
#include <StringCopy.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(ComposeTest, StringFormatsGiveWhatPrintfGivesCutBetweenCharacters)
{
    std::mt19937 random(5);
    const std::vector<std::string> pieces = {"", "a", "[", "<", "%%", "%s", "%s", "é", "日本"};
    const std::vector<std::string> args = {"", "bob", "naïve café", "日本語のテキスト", "x y z"};
    char reference[4096];
    for (int i = 0; i < 20000; i++) {
        std::string format;
        int conversions = 0;
        for (int n = random() % 6; n > 0; n--) {
            const std::string& piece = pieces[random() % pieces.size()];
            if (piece == "%s" && conversions == 3)
                continue;
            conversions += piece == "%s";
            format += piece;
        }
        if (random() % 2 == 0)
            format += "\n";
        const char* a = args[random() % args.size()].c_str();
        const char* b = args[random() % args.size()].c_str();
        const char* c = random() % 8 == 0 ? nullptr : args[random() % args.size()].c_str();
        snprintf(reference, sizeof(reference), format.c_str(), a, b, c);
        const std::string whole = reference;
        const size_t size = 1 + random() % 40;
        const bool line = random() % 2 == 0;

        std::string buffer(size + 8, '#');
        const size_t length = line ? ComposeLine(buffer.data(), size, format.c_str(), a, b, c)
                                   : Compose(buffer.data(), size, format.c_str(), a, b, c);
        const std::string got(buffer.c_str());
        ASSERT_EQ(got.size(), length) << format;
        EXPECT_EQ(buffer[size], '#') << format; // nothing written past the buffer
        if (whole.size() < size) {
            EXPECT_EQ(got, whole) << format;
            continue;
        }
        const size_t room = line && size >= 2 ? size - 2 : size - 1;
        std::string expected = whole.substr(0, utf8_prefix_length(whole.c_str(), room));
        if (line && size >= 2)
            expected += '\n';
        EXPECT_EQ(got, expected) << format << " in " << size;
    }
}

TEST(ComposeTest, OtherConversionsStillWork)
{
    char buffer[64];
    EXPECT_EQ(Compose(buffer, sizeof(buffer), "%d %s %d %s", 3, "users", 1, "op"), 12u);
    EXPECT_STREQ(buffer, "3 users 1 op");
    EXPECT_EQ(Compose(buffer, sizeof(buffer), "100%%"), 4u);
    EXPECT_STREQ(buffer, "100%");
}

} // namespace
