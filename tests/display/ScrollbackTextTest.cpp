// What a line becomes on its way into the scrollback: the bytes kept, the links found, and
// the style runs moved onto the cleaned text. No window needed.

#include <IrcDisplayWindow.h>
#include <UrlTextView.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iconv.h>
#include <string>
#include <string_view>
#include <strings.h>
#include <vector>

namespace {

std::string Clean(const char* raw)
{
    char* cleaned = IrcDisplayWindow::CleanUpString(raw);
    std::string result = cleaned != nullptr ? cleaned : "<null>";
    free(cleaned); // the caller's to free, with free()
    return result;
}

struct CleanCase
{
    const char* name;
    const char* raw;
    const char* shown;
};

class CleanUpStringTest : public ::testing::TestWithParam<CleanCase>
{
};

TEST_P(CleanUpStringTest, Shows)
{
    EXPECT_EQ(Clean(GetParam().raw), GetParam().shown) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CleanUpStringTest,
    ::testing::Values(CleanCase{"plain", "plain text\n", "plain text\n"},
                      CleanCase{"empty", "", ""},
                      CleanCase{"formatting codes",
                                "\x02"
                                "bold\x02 \x1funder\x1f \x16rev\x16 \x0freset",
                                "bold under rev reset"},
                      CleanCase{"colour code keeps its digits",
                                "\x03"
                                "4,1red \x03"
                                "12blue",
                                "4,1red 12blue"},
                      CleanCase{"CR and tab", "a\tb\r\n", "ab\n"},
                      CleanCase{"CTCP marker and DEL",
                                "\x01"
                                "ACTION\x01 x\x7f",
                                "ACTION x"},
                      CleanCase{"valid UTF-8 of two, three and four bytes",
                                "caf\xc3\xa9 \xe2\x80\x94 \xf0\x9f\x98\x80",
                                "caf\xc3\xa9 \xe2\x80\x94 \xf0\x9f\x98\x80"},
                      CleanCase{"Latin-1 letters", "caf\xe9 na\xefve \xa0\xff",
                                "caf\xc3\xa9 na\xc3\xafve \xc2\xa0\xc3\xbf"},
                      CleanCase{"Latin-1 controls go",
                                "a\x85"
                                "b\x9f",
                                "ab"},
                      CleanCase{"UTF-8 C1 controls go",
                                "a\xc2\x85"
                                "b",
                                "ab"},
                      CleanCase{"overlong two bytes", "\xc0\xaf", "\xc3\x80\xc2\xaf"},
                      CleanCase{"overlong three bytes", "\xe0\x80\xaf", "\xc3\xa0\xc2\xaf"},
                      CleanCase{"surrogate", "\xed\xa0\x80", "\xc3\xad\xc2\xa0"},
                      CleanCase{"past U+10FFFF", "\xf4\x90\x80\x80", "\xc3\xb4"},
                      CleanCase{"truncated at the end", "ab\xe2\x82", "ab\xc3\xa2"},
                      CleanCase{"truncated before ASCII", "\xe2\x82z", "\xc3\xa2z"},
                      CleanCase{"lone continuation bytes", "\x80\xbf", "\xc2\xbf"},
                      CleanCase{"mixed on one line",
                                "\x02<b\xf6rk>\x02 gr\xc3\xbc\xc3\x9f \xe9t\xe9",
                                "<b\xc3\xb6rk> gr\xc3\xbc\xc3\x9f \xc3\xa9t\xc3\xa9"}));

TEST(CleanUpString, NullIsEmpty)
{
    EXPECT_EQ(Clean(nullptr), "");
}

// True when text is well-formed UTF-8, as the C library's converter judges it.
bool IsUtf8(const std::string& text)
{
    iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in = text;
    std::vector<char> out(in.size() * 4 + 4);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    return result != static_cast<size_t>(-1) && inLeft == 0;
}

TEST(CleanUpString, AnyTwoBytesBecomeValidUtf8WithoutControls)
{
    for (int first = 1; first < 256; first++) {
        for (int second = 1; second < 256; second++) {
            const char raw[] = {static_cast<char>(first), static_cast<char>(second), 'z', '\0'};
            std::string shown = Clean(raw);
            ASSERT_TRUE(IsUtf8(shown)) << first << " " << second;
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown.back(), 'z') << first << " " << second;
            for (char byte : shown) {
                auto value = static_cast<unsigned char>(byte);
                ASSERT_TRUE(value >= 0x20 || value == '\n') << first << " " << second;
                ASSERT_NE(value, 0x7f);
            }
            // Lines called clean skip the cleaning: they must be exactly those it keeps.
            std::string_view pair(raw, 2);
            bool kept = UrlTextView::CleanText(pair) == pair;
            bool ascii = first < 0x80 && second < 0x80;
            ASSERT_EQ(UrlTextView::IsClean(pair), kept && ascii) << first << " " << second;
        }
    }
}

// Long lines are checked in blocks: one unclean byte anywhere, in a block or in the tail,
// makes the line unclean.
TEST(CleanUpString, OneUncleanByteAnywhereInALongLine)
{
    const unsigned char unclean[] = {0x01, 0x09, 0x0d, 0x1f, 0x7f, 0x80, 0xc3, 0xff};
    const unsigned char clean[] = {'\n', 0x20, 'a', '~'};
    for (size_t length : {31u, 32u, 33u, 64u, 100u}) {
        std::string line(length, 'x');
        for (unsigned char byte : clean) {
            line[length / 2] = static_cast<char>(byte);
            EXPECT_TRUE(UrlTextView::IsClean(line)) << length << " " << int(byte);
        }
        for (size_t at = 0; at < length; at++) {
            for (unsigned char byte : unclean) {
                std::string bad(length, 'x');
                bad[at] = static_cast<char>(byte);
                ASSERT_FALSE(UrlTextView::IsClean(bad))
                    << length << " at " << at << " " << int(byte);
            }
        }
    }
}

struct Link
{
    int32 start;
    int32 end;
    std::string url;
    bool operator==(const Link&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Link& link)
{
    return out << "{" << link.start << ", " << link.end << ", " << link.url << "}";
}

struct LinkCase
{
    const char* name;
    const char* line;
    std::vector<Link> links;
};

class FindLinksTest : public ::testing::TestWithParam<LinkCase>
{
};

TEST_P(FindLinksTest, Finds)
{
    std::vector<Link> found;
    for (const UrlAnchor& anchor : UrlTextView::FindLinks(GetParam().line))
        found.push_back({anchor.start, anchor.end, anchor.url});
    EXPECT_EQ(found, GetParam().links) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindLinksTest,
    ::testing::Values(
        LinkCase{"http", "see http://x.org now", {{4, 17, "http://x.org"}}},
        LinkCase{"ftp", "ftp://f.org", {{0, 12, "ftp://f.org"}}},
        LinkCase{"shttp is one link", "shttp://s.org", {{0, 14, "shttp://s.org"}}},
        LinkCase{"https", "https://h.org", {{0, 14, "https://h.org"}}},
        LinkCase{"finger", "finger://u@h", {{0, 13, "finger://u@h"}}},
        LinkCase{"telnet", "telnet://t.org", {{0, 15, "telnet://t.org"}}},
        LinkCase{"gopher", "gopher://g.org", {{0, 15, "gopher://g.org"}}},
        LinkCase{"news", "news://n.org", {{0, 13, "news://n.org"}}},
        LinkCase{"nntp", "nntp://n.org", {{0, 13, "nntp://n.org"}}},
        LinkCase{"www opens as http", "www.w.org", {{0, 10, "http://www.w.org"}}},
        LinkCase{"file", "file:/etc/motd", {{0, 15, "file:/etc/motd"}}},
        LinkCase{"mailto", "mailto:a@b.org", {{0, 15, "mailto:a@b.org"}}},
        LinkCase{"capital WWW keeps its capitals",
                 "WWW.Example.ORG/X",
                 {{0, 18, "http://WWW.Example.ORG/X"}}},
        LinkCase{"capital scheme", "HTTP://UP.ORG", {{0, 14, "HTTP://UP.ORG"}}},
        LinkCase{"trailing comma stays", "go http://x.org/a, now", {{3, 19, "http://x.org/a,"}}},
        LinkCase{"brackets stay", "(http://x.org).", {{1, 16, "http://x.org)."}}},
        LinkCase{"ended by the newline", "x http://e.org\n", {{2, 15, "http://e.org"}}},
        LinkCase{"inside a word", "xhttp://w.org", {{1, 14, "http://w.org"}}},
        LinkCase{"http://www. is one link", "http://www.x.org", {{0, 17, "http://www.x.org"}}},
        LinkCase{"two links",
                 "a http://one b www.two\n",
                 {{2, 13, "http://one"}, {15, 23, "http://www.two"}}},
        LinkCase{"the prefix alone", "http:// x", {{0, 8, "http://"}}},
        LinkCase{"UTF-8 inside", "http://caf\xc3\xa9.fr/", {{0, 17, "http://caf\xc3\xa9.fr/"}}},
        LinkCase{"none", "no links here, www dot http:/ x", {}}, LinkCase{"empty", "", {}}));

// The rule in its plainest form: every position in turn, each prefix in table order, the
// search going on after the blank or end that ended a link.
std::vector<Link> LinksTriedEverywhere(std::string_view line)
{
    static const char* const kTable[] = {"http://",   "ftp://",    "shttp://",  "https://",
                                         "finger://", "telnet://", "gopher://", "news://",
                                         "nntp://",   "www.",      "file:/",    "mailto:"};
    line = line.substr(0, line.find('\0'));
    std::vector<Link> links;
    for (size_t i = 0; i < line.size();) {
        size_t next = i + 1;
        for (std::string_view prefix : kTable) {
            if (line.size() - i < prefix.size() ||
                strncasecmp(line.data() + i, prefix.data(), prefix.size()) != 0)
                continue;
            size_t j = i;
            while (j < line.size() && line[j] != ' ' && line[j] != '\n')
                j++;
            std::string text(line.substr(i, j - i));
            links.push_back({static_cast<int32>(i), static_cast<int32>(j + 1),
                             prefix == "www." ? "http://" + text : text});
            next = j + 1;
            break;
        }
        i = next;
    }
    return links;
}

TEST(FindLinks, FindsWhatTryingEveryPositionFindsInLinesMadeOfLinkPieces)
{
    // Pieces that make prefixes, near misses and overlaps when strung together at random.
    const char* const pieces[] = {"http", "HTTP", "s",    "ftp",    "://",     ":",      "/",
                                  "www",  "WwW",  ".",    "x",      " ",       "\n",     "mailto",
                                  "file", "news", "nntp", "gopher", "finger",  "telnet", "w",
                                  "t",    "p",    "h",    "e",      "\xc3\xa9"};
    std::srand(20261210);
    for (int round = 0; round < 20000; round++) {
        std::string line;
        for (int n = std::rand() % 16; n > 0; n--)
            line += pieces[std::rand() % (sizeof pieces / sizeof pieces[0])];
        std::vector<Link> found;
        for (const UrlAnchor& anchor : UrlTextView::FindLinks(line))
            found.push_back({anchor.start, anchor.end, anchor.url});
        ASSERT_EQ(found, LinksTriedEverywhere(line)) << "line \"" << line << "\"";
    }
}

std::vector<std::pair<int32, uint8>> Mapped(const char* raw, const std::vector<int32>& runOffsets)
{
    std::vector<int32> offsets;
    UrlTextView::CleanText(raw, &offsets);
    text_run_array* runs = BTextView::AllocRunArray(static_cast<int32>(runOffsets.size()));
    for (size_t i = 0; i < runOffsets.size(); i++) {
        runs->runs[i].offset = runOffsets[i];
        runs->runs[i].color = {static_cast<uint8>(i), 0, 0, 255}; // the run's number
    }
    text_run_array* mapped = UrlTextView::MapRuns(runs, offsets);
    BTextView::FreeRunArray(runs);
    std::vector<std::pair<int32, uint8>> result;
    for (int32 i = 0; mapped != nullptr && i < mapped->count; i++)
        result.emplace_back(mapped->runs[i].offset, mapped->runs[i].color.red);
    BTextView::FreeRunArray(mapped);
    return result;
}

using MappedRuns = std::vector<std::pair<int32, uint8>>;

TEST(MapRuns, RunsFollowTheirBytesOntoTheCleanedText)
{
    // Dropped codes before the body pull it forward.
    EXPECT_EQ(Mapped("\x02<bob>\x02 hi", {0, 7}), (MappedRuns{{0, 0}, {5, 1}}));
    // A Latin-1 letter grows by a byte and pushes the run after it back.
    EXPECT_EQ(Mapped("caf\xe9 x", {0, 5}), (MappedRuns{{0, 0}, {6, 1}}));
    // An offset inside a character lands on that character's start.
    EXPECT_EQ(Mapped("a\xc3\xa9x", {0, 2}), (MappedRuns{{0, 0}, {1, 1}}));
    // A run left with nothing gives way to the next one at the same place.
    EXPECT_EQ(Mapped("\x03\x02hi", {0, 2}), (MappedRuns{{0, 1}}));
    // Past the end: at the end, where the text view ignores it.
    EXPECT_EQ(Mapped("ab", {0, 9}), (MappedRuns{{0, 0}, {2, 1}}));
    EXPECT_EQ(UrlTextView::MapRuns(nullptr, {0, 1}), nullptr);
}

} // namespace
