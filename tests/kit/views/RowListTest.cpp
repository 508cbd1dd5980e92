// The display servers' row container: every insert and removal, at the ends, in the middle
// and across chunk boundaries, leaves the rows in the order a plain vector would have them.

#include <RowList.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using kit_private::ListRow;
using kit_private::RowList;

namespace {

ListRow Row(int n)
{
    ListRow row;
    row.text = "row" + std::to_string(n);
    row.textColor = {static_cast<uint8>(n % 251), 0, 0, 255};
    return row;
}

std::vector<std::string> Texts(const RowList& rows)
{
    std::vector<std::string> texts;
    for (const ListRow& row : rows)
        texts.push_back(row.text);
    return texts;
}

std::vector<std::string> Texts(const std::vector<ListRow>& rows)
{
    std::vector<std::string> texts;
    for (const ListRow& row : rows)
        texts.push_back(row.text);
    return texts;
}

TEST(RowList, RandomInsertsAndRemovalsKeepTheOrderOfAVector)
{
    RowList rows;
    std::vector<ListRow> expected;
    std::mt19937 random(7);
    // Grows past several chunks, shrinks to empty, and grows again.
    const int steps[] = {3000, -3000, 1500};
    int serial = 0;
    for (int step : steps) {
        for (int i = 0; i < (step > 0 ? step : -step); i++) {
            if (step > 0 || expected.empty()) {
                const size_t at = random() % (expected.size() + 1);
                rows.Insert(at, Row(serial));
                expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), Row(serial));
                serial++;
            } else {
                const size_t at = random() % expected.size();
                rows.Erase(at);
                expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
            }
            ASSERT_EQ(rows.size(), expected.size());
        }
        ASSERT_EQ(Texts(rows), Texts(expected));
        for (size_t i = 0; i < expected.size(); i += 97) {
            EXPECT_EQ(rows[i].text, expected[i].text);
            EXPECT_EQ(rows[i].textColor, expected[i].textColor);
        }
    }
}

TEST(RowList, EndsAndChunkBoundariesAndWholeReplacement)
{
    const size_t chunk = RowList::kChunk;
    RowList rows;
    std::vector<ListRow> expected;
    for (int i = 0; i < static_cast<int>(3 * chunk); i++) {
        rows.Insert(rows.size(), Row(i)); // appends fill chunks
        expected.push_back(Row(i));
    }
    // At the front, at each boundary and beside it, and at the very end.
    for (size_t at : {size_t{0}, chunk - 1, chunk, chunk + 1, 2 * chunk, expected.size()}) {
        rows.Insert(at, Row(10000 + static_cast<int>(at)));
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at),
                        Row(10000 + static_cast<int>(at)));
    }
    ASSERT_EQ(Texts(rows), Texts(expected));
    // Emptying the first chunk from its front leaves the others in place.
    for (size_t i = 0; i < chunk + 1; i++) {
        rows.Erase(0);
        expected.erase(expected.begin());
    }
    rows.Erase(rows.size() - 1);
    expected.pop_back();
    ASSERT_EQ(Texts(rows), Texts(expected));

    rows[5].text = "changed";
    expected[5].text = "changed";
    EXPECT_EQ(static_cast<std::vector<ListRow>>(rows)[5].text, "changed");

    // A copy (a snapshot of the display) has rows of its own.
    RowList copy(rows);
    copy[5].text = "copy's";
    copy.Erase(0);
    EXPECT_EQ(rows[5].text, "changed");
    ASSERT_EQ(Texts(rows), Texts(expected));
    rows = copy;
    EXPECT_EQ(rows[4].text, "copy's");
    EXPECT_EQ(rows.size(), expected.size() - 1);

    rows.Assign({Row(1), Row(2)});
    EXPECT_EQ(Texts(rows), (std::vector<std::string>{"row1", "row2"}));
    rows.Assign({});
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(rows.begin() == rows.end());
}

} // namespace
