// A scrollback's text store: whatever is inserted, erased or replaced, and wherever from,
// it holds what a std::string given the same edits holds.

#include <TextBuffer.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace {

using kit_private::TextBuffer;

TEST(TextBuffer, RandomEditsMatchAStandardString)
{
    TextBuffer text;
    std::string expected;
    std::srand(1210);
    for (int round = 0; round < 20000; round++) {
        const size_t at = expected.empty() ? 0 : std::rand() % (expected.size() + 1);
        const size_t count = std::rand() % 8;
        std::string piece(std::rand() % 40, static_cast<char>('a' + round % 26));
        switch (std::rand() % 5) {
        case 0:
        case 1: // mostly appends, as a scrollback does
            text.insert(text.size(), piece);
            expected.append(piece);
            break;
        case 2:
            text.insert(at, piece);
            expected.insert(at, piece);
            break;
        case 3:
            text.erase(at, count);
            expected.erase(std::min(at, expected.size()), count);
            break;
        case 4:
            text.replace(at, count, piece);
            expected.replace(std::min(at, expected.size()), count, piece);
            break;
        }
        ASSERT_EQ(text.size(), expected.size()) << "round " << round;
        ASSERT_EQ(text.c_str()[text.size()], '\0');
    }
    EXPECT_EQ(text, expected);
}

TEST(TextBuffer, PartsOfItselfCopiesAndMovesStayWhole)
{
    TextBuffer text("0123456789");
    // A part of the text inserted into it, while the block may move to grow.
    for (int i = 0; i < 12; i++)
        text.insert(3, text.data() + 1, text.size() - 1);
    std::string expected = "0123456789";
    for (int i = 0; i < 12; i++)
        expected.insert(3, expected.substr(1));
    EXPECT_EQ(text, expected);
    text.assign(text.data() + 5, 4);
    EXPECT_EQ(text, expected.substr(5, 4));
    text.replace(1, 2, std::string_view(text).substr(0, 3));
    expected = expected.substr(5, 4);
    expected.replace(1, 2, expected.substr(0, 3));
    EXPECT_EQ(text, expected);

    TextBuffer copy(text);
    text.insert(0, "x");
    EXPECT_EQ(copy, expected);
    TextBuffer moved(std::move(copy));
    EXPECT_EQ(moved, expected);
    EXPECT_STREQ(copy.c_str(), "");
    copy = moved;
    EXPECT_EQ(copy, expected);
    TextBuffer empty;
    EXPECT_STREQ(empty.c_str(), "");
    empty.erase(0, 5);
    empty.insert(7, "");
    EXPECT_TRUE(empty.empty());
}

} // namespace
