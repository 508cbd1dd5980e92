// The server list file's lines: what the reader makes of any line, what the writer writes
// and refuses, and that the two agree.

#include <ServerSettings.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Fields
{
    std::string host;
    std::string portText;
    std::string label;
    int32 port;
};

std::vector<Fields> ParseAll(const std::string& data)
{
    std::vector<server_line> lines;
    ServerSettings::Parse(data.data(), data.size(), &lines);
    std::vector<Fields> fields;
    for (const server_line& line : lines)
        fields.push_back({line.host, line.portText, line.label, line.port});
    return fields;
}

void ExpectFields(const std::vector<Fields>& got, const std::vector<Fields>& want,
                  const std::string& context)
{
    ASSERT_EQ(got.size(), want.size()) << context;
    for (size_t i = 0; i < got.size(); i++) {
        EXPECT_EQ(got[i].host, want[i].host) << context << " line " << i;
        EXPECT_EQ(got[i].portText, want[i].portText) << context << " line " << i;
        EXPECT_EQ(got[i].label, want[i].label) << context << " line " << i;
        EXPECT_EQ(got[i].port, want[i].port) << context << " line " << i;
    }
}

std::string Format(const char* host, int32 port, const char* label)
{
    char out[ServerSettings::kLineLimit];
    if (!ServerSettings::FormatLine(host, port, label, out, sizeof(out)))
        return "<refused>";
    return out;
}

bool ValidUtf8End(const std::string& text)
{
    // No sequence is cut: the last lead byte has all its continuation bytes.
    size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
        start--;
    if (start == 0)
        return text.empty();
    unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    size_t need = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 4;
    return text.size() - (start - 1) == need;
}

TEST(ServerSettingsParse, LinesBecomeRecords)
{
    struct Case
    {
        const char* name;
        std::string data;
        std::vector<Fields> want;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"one line",
         "irc.example.org , 6667 , Example\n",
         {{"irc.example.org", "6667", "Example", 6667}}},
        {"label with commas",
         "h , 6667 , Home, sweet, home\n",
         {{"h", "6667", "Home, sweet, home", 6667}}},
        {"label with the separator", "h , 7000 , a , b , c\n", {{"h", "7000", "a , b , c", 7000}}},
        {"empty label", "h , 6667 , \n", {{"h", "6667", "", 6667}}},
        {"empty host", " , 6667 , x\n", {{"", "6667", "x", 6667}}},
        {"empty port text", "h ,  , x\n", {{"h", "", "x", 0}}},
        {"port not a number", "h , abc , x\n", {{"h", "abc", "x", 0}}},
        {"port with trailing text", "h , 6667x , x\n", {{"h", "6667x", "x", 6667}}},
        {"huge port", "h , 99999999999 , x\n", {{"h", "99999999999", "x", 2147483647}}},
        {"no final line feed", "a , 1 , A\nb , 2 , B", {{"a", "1", "A", 1}, {"b", "2", "B", 2}}},
        {"NUL ends a line",
         std::string("a , 1 , A\0b , 2 , B\n", 20),
         {{"a", "1", "A", 1}, {"b", "2", "B", 2}}},
        {"CR is part of the label", "h , 1 , L\r\n", {{"h", "1", "L\r", 1}}},
        {"UTF-8 kept",
         "h\xc3\xa9 , 1 , caf\xc3\xa9 \xe2\x82\xac\n",
         {{"h\xc3\xa9", "1", "caf\xc3\xa9 \xe2\x82\xac", 1}}},
        {"invalid UTF-8 kept as bytes", "h , 1 , \xff\xc3\n", {{"h", "1", "\xff\xc3", 1}}},
    };
    for (const Case& c : cases)
        ExpectFields(ParseAll(c.data), c.want, c.name);
}

TEST(ServerSettingsParse, LinesWithoutBothSeparatorsAreSkipped)
{
    const char* malformed[] = {
        "",               // empty line
        "just a host",    // no comma
        "h , 6667",       // one separator
        "h,6667,label",   // commas without blanks
        "h ,6667 , x",    // blank missing after the first comma
        "h , 6667, x",    // blank missing before the second comma
        "h , 6667 ,",     // nothing after the second comma
        "h , , x",        // the separators share their blank
        ",",              // a comma alone
        " , ",            // one separator, nothing else
        "a,b , 6667 , x", // a host with a comma
        "\n\n\n",         // only line feeds
    };
    for (const char* line : malformed) {
        std::string data = std::string(line) + "\nok , 1 , kept\n";
        ExpectFields(ParseAll(data), {{"ok", "1", "kept", 1}}, std::string("'") + line + "'");
    }
}

TEST(ServerSettingsParse, LongFieldsAreCutOnCharacterBoundaries)
{
    // Two-byte characters so that an odd cut would split one.
    std::string twoByte;
    while (twoByte.size() < 400)
        twoByte += "\xc3\xa9";
    std::string data = "x" + twoByte + " , 1" + std::string(300, '2') + " , L\n";
    std::vector<Fields> got = ParseAll(data);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_LE(got[0].host.size(), 255u);
    EXPECT_GE(got[0].host.size(), 253u);
    EXPECT_TRUE(ValidUtf8End(got[0].host));
    EXPECT_EQ(got[0].portText.size(), 255u);
    EXPECT_EQ(got[0].port, 2147483647);
    EXPECT_EQ(got[0].label, "L");
    // The port is the value of the port text as kept, not of bytes cut from it.
    got = ParseAll("h , " + std::string(300, '0') + "7 , L\n");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].port, 0);

    // Only the first 1023 bytes of a line count; the label is cut there, whole characters.
    std::string longLabel;
    while (longLabel.size() < 3000)
        longLabel += "\xe2\x82\xac"; // three bytes
    got = ParseAll("h , 1 , " + longLabel + "\nnext , 2 , N\n");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_LE(got[0].label.size(), 1023u - 8u);
    EXPECT_GE(got[0].label.size(), 1023u - 8u - 2u);
    EXPECT_TRUE(ValidUtf8End(got[0].label));
    EXPECT_EQ(got[1].host, "next");

    // A line whose separators lie beyond the first 1023 bytes is skipped.
    got = ParseAll(std::string(2000, 'h') + " , 1 , L\n");
    EXPECT_TRUE(got.empty());
}

TEST(ServerSettingsFormat, WritesTheLineOrRefusesIt)
{
    struct Case
    {
        const char* host;
        int32 port;
        std::string label;
        std::string want;
    };
    const std::string fits(255 - strlen("h , 6667 , \n"), 'l');
    const Case cases[] = {
        {"irc.example.org", 6667, "Example", "irc.example.org , 6667 , Example\n"},
        {"h", 6667, "", "h , 6667 , \n"},
        {"h", 0, "a, b", "h , 0 , a, b\n"},
        {"h", 6667, fits, "h , 6667 , " + fits + "\n"}, // 255 bytes and the NUL
        {"h", 6667, fits + "l", "<refused>"},           // one more
        {"a,b", 6667, "x", "<refused>"},                // would read back another host
        {"h", 6667, "two\nlines", "<refused>"},         // would read back two lines
        {"h\nx", 6667, "x", "<refused>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.host, c.port, c.label.c_str()), c.want) << c.host << " " << c.label;

    char small[8] = "keep";
    EXPECT_FALSE(ServerSettings::FormatLine("h", 1, "x", small, sizeof(small)));
    EXPECT_STREQ(small, "keep"); // untouched
    EXPECT_FALSE(ServerSettings::FormatLine(nullptr, 1, "x", small, sizeof(small)));
}

TEST(ServerSettingsFormat, WrittenLinesReadBackAsWritten)
{
    struct Case
    {
        const char* host;
        int32 port;
        const char* label;
    };
    const Case cases[] = {
        {"irc.example.org", 6667, "Example"},
        {"h", 6667, ""},
        {"", 1, "no host"},
        {"h", 7000, "Home, sweet , home"},
        {"h ", 2, " blanks "},
        {"h\xc3\xa9", 3, "\xe2\x82\xac"},
    };
    std::string file;
    for (const Case& c : cases)
        file += Format(c.host, c.port, c.label);
    std::vector<Fields> want;
    for (const Case& c : cases)
        want.push_back({c.host, std::to_string(c.port), c.label, c.port});
    ExpectFields(ParseAll(file), want, "round trip");
}

TEST(ServerSettingsDisplay, RowTextIsLabelHostAndPortText)
{
    std::vector<server_line> lines;
    std::string data = "irc.example.org , 06667 , Example\nh , 1 , \n";
    ServerSettings::Parse(data.data(), data.size(), &lines);
    ASSERT_EQ(lines.size(), 2u);
    char text[1024];
    ServerSettings::DisplayText(lines[0], text, sizeof(text));
    EXPECT_STREQ(text, "Example [irc.example.org:06667]");
    ServerSettings::DisplayText(lines[1], text, sizeof(text));
    EXPECT_STREQ(text, " [h:1]");

    // Cut to the buffer, whole characters only: here inside the port text's first euro.
    server_line wide{};
    memset(wide.label, 'l', 1017);
    strcpy(wide.host, "h");
    strcpy(wide.portText, "\xe2\x82\xac\xe2\x82\xac");
    ServerSettings::DisplayText(wide, text, sizeof(text));
    EXPECT_EQ(strlen(text), 1021u);
    EXPECT_EQ(std::string(text).substr(1017), " [h:");
    char tiny[6];
    ServerSettings::DisplayText(lines[0], tiny, sizeof(tiny));
    EXPECT_STREQ(tiny, "Examp");
}

} // namespace
