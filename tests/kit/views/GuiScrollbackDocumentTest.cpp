// The GUI's copy of a scrollback: style runs, the line index and links after every kind of
// change, and how UTF-8 byte offsets map to Qt's UTF-16 positions.

#include <ScrollbackDocument.h>
#include <TextBuffer.h>
#include <Utf8Mapping.h>

#include <gtest/gtest.h>

#include <string>

using kit_private::DecodeUtf8Mapped;
using kit_private::ScrollbackDocument;
using Run = ScrollbackDocument::Run;

namespace {

std::vector<std::pair<int32_t, uint32_t>> Runs(const ScrollbackDocument& document)
{
    std::vector<std::pair<int32_t, uint32_t>> runs;
    for (const Run& run : document.Runs())
        runs.emplace_back(run.offset, run.style);
    return runs;
}

using Runs_t = std::vector<std::pair<int32_t, uint32_t>>;

TEST(ScrollbackDocument, AppendsKeepRunsAndIndexLines)
{
    ScrollbackDocument document;
    document.Insert(0, "ab\ncd\n", {{0, 1}, {3, 2}});
    document.Insert(6, "ef", {{0, 2}}); // same style as before it: no new run
    EXPECT_EQ(Runs(document), (Runs_t{{0, 1}, {3, 2}}));
    ASSERT_EQ(document.CountLines(), 3);
    EXPECT_EQ(document.LineText(1), "cd");
    EXPECT_EQ(document.LineText(2), "ef");
    EXPECT_EQ(document.LineAt(5), 1); // the newline belongs to its line
    EXPECT_EQ(document.LineAt(6), 2);
    EXPECT_EQ(document.StyleAt(7), 2u);
}

TEST(ScrollbackDocument, ALongTextTakesTheModelsPiecesWithoutACopy)
{
    kit_private::TextBuffer model;
    ScrollbackDocument document;
    const std::string line = "[12:00] <bob> a line of the flood\n";
    int32_t lines = 0;
    while (static_cast<size_t>(document.Length()) < 2 * kit_private::TextBuffer::kShareAbove) {
        kit_private::TextPiece piece = model.Append(line.data(), line.size());
        if (piece.Block() == nullptr)
            piece = kit_private::TextPiece(line);
        document.Insert(document.Length(), piece, {{0, 1}, {8, 2}});
        lines++;
    }
    EXPECT_TRUE(document.Text().Shares());
    EXPECT_EQ(document.Text().data(), model.data());
    ASSERT_EQ(document.CountLines(), lines + 1);
    EXPECT_EQ(document.LineText(lines - 1), line.substr(0, line.size() - 1));
    EXPECT_EQ(document.StyleAt(document.LineStart(lines - 1) + 8), 2u);
    // An edit of the shown text leaves the model's alone.
    document.Delete(0, static_cast<int32_t>(line.size()));
    EXPECT_FALSE(document.Text().Shares());
    EXPECT_EQ(document.CountLines(), lines);
    EXPECT_EQ(model.size(), line.size() * static_cast<size_t>(lines));
}

TEST(ScrollbackDocument, InsertingInsideKeepsTheStyleAfterAndMovesLinks)
{
    ScrollbackDocument document;
    document.SetText("0123456789", {{0, 1}, {5, 2}});
    document.AddLink({6, 9, 0xff0000ffu, 0});
    document.Insert(2, "xy\n", {{0, 3}});
    EXPECT_EQ(document.Text(), "01xy\n23456789");
    EXPECT_EQ(Runs(document), (Runs_t{{0, 1}, {2, 3}, {5, 1}, {8, 2}}));
    EXPECT_EQ(document.CountLines(), 2);
    ASSERT_EQ(document.Links().size(), 1u);
    EXPECT_EQ(document.Links()[0].start, 9);
    EXPECT_EQ(document.Links()[0].end, 12);
    // Without runs, inserted text continues the style before it.
    document.Insert(1, "z", {});
    EXPECT_EQ(document.StyleAt(1), 1u);
}

TEST(ScrollbackDocument, DeletingDropsTouchedLinksAndJoinsLines)
{
    ScrollbackDocument document;
    document.SetText("aa\nbb\ncc\n", {{0, 1}, {3, 2}, {6, 3}});
    document.AddLink({0, 2, 0, 0});
    document.AddLink({3, 5, 0, 1});
    document.AddLink({6, 8, 0, 2});
    document.Delete(4, 7); // from inside "bb" to inside "cc"
    EXPECT_EQ(document.Text(), "aa\nbc\n");
    EXPECT_EQ(Runs(document), (Runs_t{{0, 1}, {3, 2}, {4, 3}}));
    EXPECT_EQ(document.CountLines(), 3);
    ASSERT_EQ(document.Links().size(), 1u);
    EXPECT_EQ(document.Links()[0].index, 0);
    document.Delete(0, 100); // clamped
    EXPECT_EQ(document.Length(), 0);
    EXPECT_EQ(document.CountLines(), 1);
    ASSERT_EQ(document.Runs().size(), 1u);
    EXPECT_EQ(document.Runs()[0].offset, 0);
}

TEST(ScrollbackDocument, RestylingAPartLeavesTheRest)
{
    ScrollbackDocument document;
    document.SetText("0123456789", {{0, 1}});
    document.Restyle(3, 6, {{0, 2}, {1, 3}});
    EXPECT_EQ(Runs(document), (Runs_t{{0, 1}, {3, 2}, {4, 3}, {6, 1}}));
    document.Restyle(0, 10, {{0, 4}});
    EXPECT_EQ(Runs(document), (Runs_t{{0, 4}}));
    // Malformed runs (backwards, past the span) are ignored, not trusted.
    document.Restyle(2, 4, {{1, 5}, {0, 6}, {9, 7}});
    EXPECT_EQ(Runs(document), (Runs_t{{0, 4}, {3, 5}, {4, 4}}));
}

TEST(ScrollbackDocument, OfSeveralRunsAtOneOffsetTheLastHolds)
{
    // An empty text's default run followed by the appended line's own runs.
    ScrollbackDocument document;
    document.SetText("[12:00] <zed> hi\n", {{0, 0}, {0, 1}, {14, 2}});
    EXPECT_EQ(Runs(document), (Runs_t{{0, 1}, {14, 2}}));
    document.SetText("abcdef", {{0, 1}, {3, 2}, {3, 3}});
    EXPECT_EQ(Runs(document), (Runs_t{{0, 1}, {3, 3}}));
    document.Insert(6, "gh", {{0, 1}, {0, 2}});
    EXPECT_EQ(Runs(document), (Runs_t{{0, 1}, {3, 3}, {6, 2}}));
}

TEST(ScrollbackDocument, LinksAreFoundInOrderAlsoWhenAddedOutOfOrder)
{
    ScrollbackDocument document;
    document.SetText(std::string(100, 'x'), {});
    document.AddLink({10, 20, 0, 0});
    document.AddLink({40, 50, 0, 1});
    auto found = document.LinksIn(15, 45);
    ASSERT_EQ(found.size(), 2u);
    document.AddLink({5, 12, 0, 2}); // before the others
    found = document.LinksIn(0, 11);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]->index, 0);
    EXPECT_EQ(found[1]->index, 2);
    EXPECT_TRUE(document.LinksIn(21, 39).empty());
}

struct MappingCase
{
    const char* name;
    std::string bytes;
    int units;
};

class Utf8MappingTest : public ::testing::TestWithParam<MappingCase>
{
};

TEST_P(Utf8MappingTest, PositionsRoundTrip)
{
    const MappingCase& test = GetParam();
    std::vector<int32_t> toByte;
    std::vector<int32_t> toUnit;
    QString text = DecodeUtf8Mapped(test.bytes, &toByte, &toUnit);
    EXPECT_EQ(text.size(), test.units) << test.name;
    ASSERT_EQ(toByte.size(), static_cast<size_t>(text.size()) + 1);
    ASSERT_EQ(toUnit.size(), test.bytes.size() + 1);
    EXPECT_EQ(toUnit.back(), text.size());
    EXPECT_EQ(toByte.back(), static_cast<int32_t>(test.bytes.size()));
    // Every unit's byte maps back to that unit, or to the high half of its pair.
    for (int unit = 0; unit < text.size(); unit++) {
        int back = toUnit[static_cast<size_t>(toByte[static_cast<size_t>(unit)])];
        EXPECT_TRUE(back == unit || (back == unit - 1 && text[unit].isLowSurrogate()))
            << test.name << " unit " << unit;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8MappingTest,
    ::testing::Values(MappingCase{"ascii", "hello", 5}, MappingCase{"accents", "caf\xc3\xa9", 4},
                      MappingCase{"dash",
                                  "a\xe2\x80\x94"
                                  "b",
                                  3},
                      MappingCase{"astral", "\xf0\x9f\x98\x80!", 3}, // a surrogate pair
                      MappingCase{"stray",
                                  "a\x80\xff"
                                  "b",
                                  4},                         // each bad byte one U+FFFD
                      MappingCase{"overlong", "\xc0\xaf", 2}, // refused, byte by byte
                      MappingCase{"cut", "ab\xe2\x80", 4},    // a sequence cut short
                      MappingCase{"surrogate", "\xed\xa0\x80", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8Mapping, BadBytesBecomeReplacementCharacters)
{
    std::vector<int32_t> toByte;
    std::vector<int32_t> toUnit;
    QString text = DecodeUtf8Mapped("a\xff"
                                    "b",
                                    &toByte, &toUnit);
    EXPECT_EQ(text, QString::fromUtf16(u"a\ufffdb"));
}

} // namespace
