// A scrollback's text store: whatever is inserted, erased or replaced, and wherever from,
// it holds what a std::string given the same edits holds.

#include <TextBuffer.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace {

using kit_private::TextBuffer;
using kit_private::TextPiece;

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

// A scrollback's text and the display server's copy of it, the copy taking what the view's
// appends hand it.
TEST(TextBuffer, ACopyFedByTheOwnersPiecesSharesItsBytes)
{
    TextBuffer owner;
    TextBuffer shown;
    std::string expected;
    const std::string line(100, 'x');
    while (expected.size() < 2 * TextBuffer::kShareAbove) {
        TextPiece piece = owner.Append(line.data(), line.size());
        if (piece.Block() == nullptr)
            piece = TextPiece(line);
        shown.InsertPiece(shown.size(), piece);
        expected += line;
    }
    ASSERT_TRUE(owner.Shares());
    EXPECT_TRUE(shown.Shares());
    EXPECT_EQ(shown.data(), owner.data()); // one copy of the bytes
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(owner, expected);
    EXPECT_EQ(owner.c_str()[owner.size()], '\0');

    // The owner's later appends do not reach a copy until handed to it, and the copy's
    // own text stays terminated where it ends.
    TextPiece later = owner.Append("tail", 4);
    EXPECT_EQ(shown, expected);
    EXPECT_STREQ(shown.c_str() + expected.size() - 3, "xxx");
    TextBuffer snapshot(shown); // a copy of a copy shares too
    shown.InsertPiece(shown.size(), later);
    EXPECT_EQ(shown, expected + "tail");
    EXPECT_EQ(snapshot, expected);

    // An edit other than the owner's append gives that buffer bytes of its own; the others
    // keep what they had.
    shown.erase(0, 10);
    EXPECT_FALSE(shown.Shares());
    EXPECT_EQ(shown, expected.substr(10) + "tail");
    owner.insert(0, "head", 4);
    EXPECT_FALSE(owner.Shares());
    EXPECT_EQ(owner, "head" + expected + "tail");
    EXPECT_EQ(snapshot, expected);
    EXPECT_TRUE(snapshot.Shares()); // the block lives on with it

    // Pieces that meet in the block stay one stretch; others are joined as bytes.
    TextBuffer next;
    next.Append(expected.data(), expected.size());
    TextPiece a = next.Append("ab", 2);
    a.Append(next.Append("cd", 2));
    EXPECT_EQ(a, "abcd");
    EXPECT_NE(a.Block(), nullptr);
    a.Append(TextPiece("ef"));
    EXPECT_EQ(a, "abcdef");
}

TEST(TextBuffer, ACopyThatDiffersFromTheBlockKeepsItsOwnBytes)
{
    TextBuffer owner;
    const std::string start(TextBuffer::kShareAbove, 'a');
    owner.Append(start.data(), start.size());
    TextBuffer shown(std::string(start.size(), 'b'));
    TextPiece piece = owner.Append("xyz", 3);
    ASSERT_NE(piece.Block(), nullptr);
    shown.InsertPiece(shown.size(), piece);
    EXPECT_FALSE(shown.Shares());
    EXPECT_EQ(shown, std::string(start.size(), 'b') + "xyz");
    // Inserted anywhere but at its end, a piece is copied too.
    TextBuffer other("12");
    other.InsertPiece(1, owner.Append("!", 1));
    EXPECT_EQ(other, "1!2");
}

} // namespace
