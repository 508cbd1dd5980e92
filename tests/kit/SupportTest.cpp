// Support kit: BList, geometry, codes and bounded UTF-8 copies.

#include <GraphicsDefs.h>
#include <List.h>
#include <Rect.h>
#include <StringCopy.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(TypeCodes, FourCharacterConstants)
{
    EXPECT_EQ(static_cast<uint32>(B_STRING_TYPE), 0x43535452u);
    EXPECT_EQ(static_cast<uint32>('Amsh'), 0x416d7368u);
    char text[5];
    EXPECT_STREQ(type_code_text(B_RGB_COLOR_TYPE, text), "RGBC");
    EXPECT_STREQ(type_code_text(0x41000142, text), "A..B");
    EXPECT_EQ(B_NO_MEMORY, static_cast<status_t>(0x80000000));
    EXPECT_EQ(B_RANGE_ERROR, static_cast<status_t>(0x80007011));
    EXPECT_EQ(sizeof(rgb_color), 4u);
}

static int compare_ints(const void* a, const void* b)
{
    int x = **static_cast<int* const*>(a);
    int y = **static_cast<int* const*>(b);
    return x - y;
}

TEST(List, AddRemoveAndSort)
{
    int values[] = {3, 1, 2};
    BList list;
    for (int& v : values)
        EXPECT_TRUE(list.AddItem(&v));
    EXPECT_FALSE(list.AddItem(&values[0], 5));
    EXPECT_TRUE(list.AddItem(&values[1], 0));
    EXPECT_EQ(list.CountItems(), 4);
    EXPECT_EQ(list.IndexOf(&values[2]), 3);
    EXPECT_EQ(list.ItemAt(4), nullptr);
    EXPECT_EQ(list.ItemAt(-1), nullptr);
    EXPECT_EQ(list.RemoveItem(static_cast<int32>(0)), &values[1]);
    EXPECT_TRUE(list.RemoveItem(&values[0]));
    EXPECT_FALSE(list.RemoveItem(&values[0]));
    list.AddItem(&values[0]);
    list.SortItems(compare_ints); // the compare function gets pointers to the items
    ASSERT_EQ(list.CountItems(), 3);
    EXPECT_EQ(list.ItemAt(0), &values[1]);
    EXPECT_EQ(list.ItemAt(1), &values[2]);
    EXPECT_EQ(list.ItemAt(2), &values[0]);
    EXPECT_TRUE(list.MoveItem(0, 2));
    EXPECT_EQ(list.LastItem(), &values[1]);
    list.MakeEmpty();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.FirstItem(), nullptr);
}

TEST(Rect, GeometryWithInclusiveEdges)
{
    BRect frame(400, 400, 750, 700);
    EXPECT_EQ(frame.Width(), 350);
    EXPECT_EQ(frame.Height(), 300);
    EXPECT_TRUE(frame.Contains(BPoint(750, 700)));
    EXPECT_FALSE(frame.Contains(BPoint(751, 700)));
    EXPECT_EQ(frame.OffsetToCopy(0, 0), BRect(0, 0, 350, 300));
    EXPECT_EQ(BRect(0, 0, 10, 10).InsetByCopy(2, 3), BRect(2, 3, 8, 7));
    EXPECT_FALSE(BRect().IsValid());
    EXPECT_EQ(BRect(0, 0, 10, 10) & BRect(5, 5, 20, 20), BRect(5, 5, 10, 10));
    EXPECT_EQ(BRect(0, 0, 10, 10) | BRect(5, 5, 20, 20), BRect(0, 0, 20, 20));
    EXPECT_FALSE(BRect(0, 0, 1, 1).Intersects(BRect(2, 2, 3, 3)));
}

TEST(StringCopy, NeverCutsASequence)
{
    struct Case
    {
        const char* source;
        size_t size;
        const char* expected;
    } cases[] = {
        {"hello", 16, "hello"},
        {"hello", 4, "hel"},
        {"h\xc3\xa9llo", 3, "h"},                        // é would need bytes 1-2, only 1 fits
        {"h\xc3\xa9llo", 4, "h\xc3\xa9"},                // exactly fits
        {"\xe2\x82\xac\xe2\x82\xac", 6, "\xe2\x82\xac"}, // second € does not fit
        {"\xf0\x9f\x98\x80x", 4, ""},                    // a 4-byte emoji in 3 bytes
        {"abc", 1, ""},
    };
    for (const Case& c : cases) {
        char buffer[32];
        memset(buffer, 'Z', sizeof buffer);
        size_t copied = copy_utf8(buffer, c.size, c.source);
        EXPECT_STREQ(buffer, c.expected) << c.source << " in " << c.size;
        EXPECT_EQ(copied, strlen(c.expected));
        EXPECT_EQ(buffer[c.size], 'Z') << "wrote past the buffer";
    }
    char untouched = 'Z';
    EXPECT_EQ(copy_utf8(&untouched, 0, "abc"), 0u);
    EXPECT_EQ(untouched, 'Z');
}

TEST(StringCopy, DecodesShortestFormsAndTakesOtherBytesAsThemselves)
{
    struct Case
    {
        const char* bytes;
        size_t length;
        uint32_t character;
        size_t taken;
    } cases[] = {
        {"a", 1, 'a', 1},
        {"\xc3\xa9", 2, 0xE9, 2},
        {"\xe2\x82\xac", 3, 0x20AC, 3},
        {"\xf0\x9f\x98\x80", 4, 0x1F600, 4},
        {"\xe2\x82\xac", 2, 0xE2, 1},     // cut short by the length
        {"\xc0\xaf", 2, 0xC0, 1},         // overlong '/'
        {"\xed\xa0\x80", 3, 0xED, 1},     // a surrogate
        {"\xc3(", 2, 0xC3, 1},            // no continuation
        {"\x80", 1, 0x80, 1},             // a stray continuation
        {"\xf4\x90\x80\x80", 4, 0xF4, 1}, // beyond U+10FFFF
    };
    for (const Case& c : cases) {
        uint32_t character = 0;
        EXPECT_EQ(decode_utf8(c.bytes, c.length, &character), c.taken) << c.bytes;
        EXPECT_EQ(character, c.character) << c.bytes;
    }
}

} // namespace
