// BMessage: typed fields, the "failed Find leaves the default" rule, copies and flattening.

#include <Message.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Message, EachTypeRoundTrips)
{
    BMessage message('Amsh');
    int dummy = 0;
    ASSERT_EQ(message.AddString("Nick", "bob"), B_OK);
    ASSERT_EQ(message.AddInt8("i8", -8), B_OK);
    ASSERT_EQ(message.AddInt16("i16", -1600), B_OK);
    ASSERT_EQ(message.AddInt32("type", 20), B_OK);
    ASSERT_EQ(message.AddInt64("i64", INT64_MIN), B_OK);
    ASSERT_EQ(message.AddBool("Action", true), B_OK);
    ASSERT_EQ(message.AddFloat("size", 12.5f), B_OK);
    ASSERT_EQ(message.AddDouble("d", 0.25), B_OK);
    ASSERT_EQ(message.AddPointer("IRC", &dummy), B_OK);
    ASSERT_EQ(message.AddPoint("where", BPoint(3, -4)), B_OK);
    ASSERT_EQ(message.AddRect("frame", BRect(1, 2, 3, 4)), B_OK);
    ASSERT_EQ(message.AddColor("RGBColor", make_color(1, 2, 3, 4)), B_OK);

    const char* nick = nullptr;
    int8 i8 = 0;
    int16 i16 = 0;
    int32 type = 0;
    int64 i64 = 0;
    bool action = false;
    float size = 0;
    double d = 0;
    void* pointer = nullptr;
    BPoint where;
    BRect frame;
    rgb_color color = {};
    EXPECT_EQ(message.FindString("Nick", &nick), B_OK);
    EXPECT_STREQ(nick, "bob");
    EXPECT_EQ(message.FindInt8("i8", &i8), B_OK);
    EXPECT_EQ(i8, -8);
    EXPECT_EQ(message.FindInt16("i16", &i16), B_OK);
    EXPECT_EQ(i16, -1600);
    EXPECT_EQ(message.FindInt32("type", &type), B_OK);
    EXPECT_EQ(type, 20);
    EXPECT_EQ(message.FindInt64("i64", &i64), B_OK);
    EXPECT_EQ(i64, INT64_MIN);
    EXPECT_EQ(message.FindBool("Action", &action), B_OK);
    EXPECT_TRUE(action);
    EXPECT_EQ(message.FindFloat("size", &size), B_OK);
    EXPECT_EQ(size, 12.5f);
    EXPECT_EQ(message.FindDouble("d", &d), B_OK);
    EXPECT_EQ(d, 0.25);
    EXPECT_EQ(message.FindPointer("IRC", &pointer), B_OK);
    EXPECT_EQ(pointer, &dummy);
    EXPECT_EQ(message.FindPoint("where", &where), B_OK);
    EXPECT_EQ(where, BPoint(3, -4));
    EXPECT_EQ(message.FindRect("frame", &frame), B_OK);
    EXPECT_EQ(frame, BRect(1, 2, 3, 4));
    EXPECT_EQ(message.FindColor("RGBColor", &color), B_OK);
    EXPECT_EQ(color, make_color(1, 2, 3, 4));
    EXPECT_EQ(message.what, static_cast<uint32>('Amsh'));
}

// A receiver sets its default first and must keep it whenever the field is not usable.
TEST(Message, FailedFindLeavesTheDefault)
{
    BMessage message;
    message.AddString("text", "x");
    message.AddInt32("number", 5);

    struct Case
    {
        const char* name;
        int32 index;
        status_t expected;
    } cases[] = {
        {"missing", 0, B_NAME_NOT_FOUND},
        {"text", 0, B_BAD_TYPE},    // a string asked for as anything else
        {"number", 1, B_BAD_INDEX}, // only one value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int32 i32 = 77;
        bool b = true;
        void* p = &i32;
        float f = 1.5f;
        BRect r(9, 9, 9, 9);
        EXPECT_EQ(message.FindInt32(c.name, c.index, &i32), c.expected);
        EXPECT_NE(message.FindBool(c.name, c.index, &b), B_OK);
        EXPECT_NE(message.FindPointer(c.name, c.index, &p), B_OK);
        EXPECT_NE(message.FindFloat(c.name, c.index, &f), B_OK);
        EXPECT_NE(message.FindRect(c.name, c.index, &r), B_OK);
        EXPECT_EQ(i32, 77);
        EXPECT_TRUE(b);
        EXPECT_EQ(p, &i32);
        EXPECT_EQ(f, 1.5f);
        EXPECT_EQ(r, BRect(9, 9, 9, 9));
    }
    const char* s = "default";
    EXPECT_EQ(message.FindString("missing", &s), B_NAME_NOT_FOUND);
    EXPECT_EQ(message.FindString("number", &s), B_BAD_TYPE);
    EXPECT_EQ(message.FindString("text", 1, &s), B_BAD_INDEX);
    EXPECT_STREQ(s, "default");
}

TEST(Message, SeveralValuesPerNameInOrder)
{
    BMessage message;
    message.AddString("List", "a");
    message.AddString("List", "b");
    EXPECT_EQ(message.AddInt32("List", 3), B_BAD_TYPE);
    type_code type;
    int32 count;
    ASSERT_EQ(message.GetInfo("List", &type, &count), B_OK);
    EXPECT_EQ(type, static_cast<type_code>(B_STRING_TYPE));
    EXPECT_EQ(count, 2);
    const char* second;
    ASSERT_EQ(message.FindString("List", 1, &second), B_OK);
    EXPECT_STREQ(second, "b");
    EXPECT_TRUE(message.HasString("List", 1));
    EXPECT_FALSE(message.HasString("List", 2));
    EXPECT_FALSE(message.HasInt32("List"));
}

TEST(Message, ReplaceAndRemove)
{
    BMessage message;
    message.AddInt32("n", 1);
    message.AddString("s", "short");
    EXPECT_EQ(message.ReplaceInt32("n", 2), B_OK);
    EXPECT_EQ(message.ReplaceString("s", "a much longer text"), B_OK);
    EXPECT_EQ(message.ReplaceInt32("missing", 2), B_NAME_NOT_FOUND);
    EXPECT_EQ(message.ReplaceBool("n", true), B_BAD_TYPE);
    int32 n = 0;
    const char* s = nullptr;
    message.FindInt32("n", &n);
    message.FindString("s", &s);
    EXPECT_EQ(n, 2);
    EXPECT_STREQ(s, "a much longer text");

    EXPECT_EQ(message.RemoveName("n"), B_OK);
    EXPECT_FALSE(message.HasInt32("n"));
    EXPECT_EQ(message.RemoveName("n"), B_NAME_NOT_FOUND);
    EXPECT_EQ(message.CountNames(B_ANY_TYPE), 1);
    message.MakeEmpty();
    EXPECT_TRUE(message.IsEmpty());
}

TEST(Message, RemovingAValueKeepsTheOthersInOrderInCopiesAndFlattenedForms)
{
    BMessage message;
    message.AddString("List", "first, long enough to need a block of its own");
    message.AddString("List", "second");
    message.AddString("List", "third, also longer than a short string keeps");
    ASSERT_EQ(message.RemoveData("List", 0), B_OK);
    BMessage copy(message);
    std::string bytes;
    ASSERT_EQ(message.Flatten(&bytes), B_OK);
    BMessage unflattened;
    ASSERT_EQ(unflattened.Unflatten(bytes.data(), static_cast<ssize_t>(bytes.size())), B_OK);
    for (const BMessage* m : {&message, &copy, &unflattened}) {
        int32 count = 0;
        ASSERT_EQ(m->GetInfo("List", nullptr, &count), B_OK);
        EXPECT_EQ(count, 2);
        const char* s = nullptr;
        m->FindString("List", 0, &s);
        EXPECT_STREQ(s, "second");
        m->FindString("List", 1, &s);
        EXPECT_STREQ(s, "third, also longer than a short string keeps");
    }
    ASSERT_EQ(message.RemoveData("List", 1), B_OK);
    ASSERT_EQ(message.RemoveData("List", 1), B_BAD_INDEX);
    message.AddString("List", "again");
    const char* s = nullptr;
    message.FindString("List", 1, &s);
    EXPECT_STREQ(s, "again");
    ASSERT_EQ(message.RemoveData("List", 0), B_OK);
    ASSERT_EQ(message.RemoveData("List", 0), B_OK);
    EXPECT_FALSE(message.HasString("List")) << "a field whose last value went stays";
}

TEST(Message, CopiesAreIndependent)
{
    BMessage original('Amsg');
    original.AddString("Said", "hi");
    BMessage copy(original);
    original.ReplaceString("Said", "changed");
    original.what = 0;
    const char* said;
    ASSERT_EQ(copy.FindString("Said", &said), B_OK);
    EXPECT_STREQ(said, "hi");
    EXPECT_EQ(copy.what, static_cast<uint32>('Amsg'));
}

TEST(Message, BadArgumentsAreRefused)
{
    BMessage message;
    EXPECT_EQ(message.AddString(nullptr, "x"), B_BAD_VALUE);
    EXPECT_EQ(message.AddString("x", static_cast<const char*>(nullptr)), B_BAD_VALUE);
    EXPECT_EQ(message.AddData("x", B_ANY_TYPE, "a", 1), B_BAD_VALUE);
    // A fixed-size field keeps one size.
    EXPECT_EQ(message.AddData("raw", B_RAW_TYPE, "ab", 2, true), B_OK);
    EXPECT_EQ(message.AddData("raw", B_RAW_TYPE, "abc", 3, true), B_BAD_VALUE);
    // A string field that is not NUL-terminated is not handed out as a string.
    message.AddData("bad", B_STRING_TYPE, "abc", 3, false);
    const char* text = "kept";
    EXPECT_EQ(message.FindString("bad", &text), B_BAD_DATA);
    EXPECT_STREQ(text, "kept");
}

TEST(Message, DropInformation)
{
    BMessage message('Aitd');
    EXPECT_FALSE(message.WasDropped());
    EXPECT_EQ(message.DropPoint(), B_ORIGIN);
    message.SetDropped(BPoint(10, 20), BPoint(1, 2));
    BPoint offset;
    EXPECT_TRUE(message.WasDropped());
    EXPECT_EQ(message.DropPoint(&offset), BPoint(10, 20));
    EXPECT_EQ(offset, BPoint(1, 2));
    BMessage copy(message);
    EXPECT_TRUE(copy.WasDropped());
}

TEST(MessageFlatten, RoundTripKeepsEverything)
{
    BMessage inner('Innr');
    inner.AddString("family", "DejaVu Sans");
    BMessage message('Aitd');
    message.AddInt32("index", 7);
    message.AddString("List", "a");
    message.AddString("List", "");
    message.AddRect("frame", BRect(0.5f, 1, 2, 3));
    message.AddMessage("font", &inner);
    message.AddData("raw", B_RAW_TYPE, "\0\1\2", 3, false);

    std::string bytes;
    ASSERT_EQ(message.Flatten(&bytes), B_OK);
    EXPECT_EQ(static_cast<ssize_t>(bytes.size()), message.FlattenedSize());

    BMessage back;
    ASSERT_EQ(back.Unflatten(bytes.data(), static_cast<ssize_t>(bytes.size())), B_OK);
    EXPECT_EQ(back.what, static_cast<uint32>('Aitd'));
    int32 index = 0;
    const char* empty = nullptr;
    BRect frame;
    BMessage innerBack;
    const void* raw;
    ssize_t rawSize;
    EXPECT_EQ(back.FindInt32("index", &index), B_OK);
    EXPECT_EQ(index, 7);
    EXPECT_EQ(back.FindString("List", 1, &empty), B_OK);
    EXPECT_STREQ(empty, "");
    EXPECT_EQ(back.FindRect("frame", &frame), B_OK);
    EXPECT_EQ(frame, BRect(0.5f, 1, 2, 3));
    ASSERT_EQ(back.FindMessage("font", &innerBack), B_OK);
    EXPECT_EQ(innerBack.what, static_cast<uint32>('Innr'));
    const char* family;
    EXPECT_EQ(innerBack.FindString("family", &family), B_OK);
    EXPECT_STREQ(family, "DejaVu Sans");
    ASSERT_EQ(back.FindData("raw", B_RAW_TYPE, &raw, &rawSize), B_OK);
    EXPECT_EQ(std::string(static_cast<const char*>(raw), rawSize), std::string("\0\1\2", 3));

    char small[8];
    EXPECT_EQ(message.Flatten(small, sizeof small), B_BAD_VALUE);
}

// Drag data comes from outside: every truncation and a set of forgeries must be refused
// without reading out of bounds (the sanitizer build checks the reads).
TEST(MessageFlatten, RefusesTruncatedAndForgedBytes)
{
    BMessage message('Aitd');
    message.AddInt32("index", 7);
    message.AddString("name", "row");
    std::string bytes;
    message.Flatten(&bytes);

    for (size_t length = 0; length < bytes.size(); length++) {
        BMessage back('Keep');
        std::string prefix = bytes.substr(0, length);
        EXPECT_NE(back.Unflatten(prefix.data(), static_cast<ssize_t>(length)), B_OK) << length;
        EXPECT_TRUE(back.IsEmpty());
    }
    std::string longer = bytes + "x";
    BMessage back;
    EXPECT_EQ(back.Unflatten(longer.data(), static_cast<ssize_t>(longer.size())), B_BAD_DATA);

    auto forged = [&](size_t offset, uint32 value) {
        std::string copy = bytes;
        memcpy(&copy[offset], &value, 4);
        BMessage m;
        return m.Unflatten(copy.data(), static_cast<ssize_t>(copy.size()));
    };
    EXPECT_EQ(forged(0, 0x12345678), B_NOT_A_MESSAGE); // magic
    EXPECT_EQ(forged(8, 0xffffffff), B_BAD_DATA);      // field count
    EXPECT_EQ(forged(17, 0xfffffff0), B_BAD_DATA);     // first name length
    EXPECT_EQ(forged(17, 0), B_BAD_DATA);              // empty name
    EXPECT_EQ(back.Unflatten(nullptr, 100), B_BAD_VALUE);
}

TEST(MessageFlatten, DuplicateNamesAreRefused)
{
    BMessage a;
    a.AddInt32("x", 1);
    a.AddInt32("y", 2);
    std::string bytes;
    a.Flatten(&bytes);
    size_t second = bytes.rfind('y');
    bytes[second] = 'x';
    BMessage back;
    EXPECT_EQ(back.Unflatten(bytes.data(), static_cast<ssize_t>(bytes.size())), B_BAD_DATA);
}

TEST(Message, MessengerFieldSurvives)
{
    BMessage message;
    BMessenger invalid;
    EXPECT_EQ(message.AddMessenger("target", invalid), B_OK);
    BMessenger back;
    EXPECT_EQ(message.FindMessenger("target", &back), B_OK);
    EXPECT_FALSE(back.IsValid());
}

} // namespace
