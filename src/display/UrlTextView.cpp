#include "UrlTextView.h"

#include "DisplayMessages.h"
#include "ascii_case.h"

#include <Message.h>
#include <Roster.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace {

// Tried in this order at every position of a line, ignoring case.
constexpr std::array<std::string_view, 12> kPrefixes = {
    "http://",   "ftp://",  "shttp://", "https://", "finger://", "telnet://",
    "gopher://", "news://", "nntp://",  "www.",     "file:/",    "mailto:",
};
constexpr std::string_view kWebPrefix = "www.";

// The bytes some prefix starts with, in either case: most positions of a line start none.
constexpr std::array<bool, 256> kLinkStarts = [] {
    std::array<bool, 256> starts{};
    for (std::string_view prefix : kPrefixes) {
        starts[static_cast<unsigned char>(prefix[0])] = true;
        starts[static_cast<unsigned char>(prefix[0] - 'a' + 'A')] = true;
    }
    return starts;
}();

bool CanStartLink(char c)
{
    return kLinkStarts[static_cast<unsigned char>(c)];
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); i++) {
        if (lower_ascii(text[i]) != prefix[i])
            return false;
    }
    return true;
}

// Where each prefix has its first colon or dot, at the least and at the most.
constexpr std::pair<size_t, size_t> kMarkOffsets = [] {
    std::pair<size_t, size_t> range{SIZE_MAX, 0};
    for (std::string_view prefix : kPrefixes) {
        size_t at = prefix.find_first_of(":.");
        range.first = std::min(range.first, at);
        range.second = std::max(range.second, at);
    }
    return range;
}();

// The first prefix of the table that starts at text[at], or an empty one.
std::string_view LinkPrefixAt(std::string_view text, size_t at)
{
    if (!CanStartLink(text[at]))
        return {};
    const char first = lower_ascii(text[at]);
    for (std::string_view prefix : kPrefixes) {
        if (prefix[0] == first && StartsWithIgnoringCase(text.substr(at), prefix))
            return prefix;
    }
    return {};
}

// The next colon or dot from `from` on; a plain loop, as find_first_of asks memchr about
// every byte of the line.
size_t NextMark(std::string_view line, size_t from)
{
    for (size_t i = from; i < line.size(); i++) {
        if (line[i] == ':' || line[i] == '.')
            return i;
    }
    return std::string_view::npos;
}

bool EndsLink(char byte)
{
    return byte == '\0' || byte == ' ' || byte == '\n';
}

// The length of the well-formed UTF-8 sequence of two to four bytes at text[at], or 0 when
// none starts there (overlong forms, surrogates, code points past U+10FFFF, truncations).
size_t SequenceLength(std::string_view text, size_t at)
{
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
    auto follows = [&](size_t k, unsigned char low = 0x80, unsigned char high = 0xbf) {
        return at + k < text.size() && byte(k) >= low && byte(k) <= high;
    };
    unsigned char lead = byte(0);
    if (lead >= 0xc2 && lead <= 0xdf)
        return follows(1) ? 2 : 0;
    if (lead >= 0xe0 && lead <= 0xef) {
        unsigned char low = lead == 0xe0 ? 0xa0 : 0x80;
        unsigned char high = lead == 0xed ? 0x9f : 0xbf;
        return follows(1, low, high) && follows(2) ? 3 : 0;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        unsigned char low = lead == 0xf0 ? 0x90 : 0x80;
        unsigned char high = lead == 0xf4 ? 0x8f : 0xbf;
        return follows(1, low, high) && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

} // namespace

UrlTextView::UrlTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                         uint32 flags)
    : BTextView(frame, name, textRect, resizingMode, flags)
{
}

UrlTextView::~UrlTextView() = default;

// Hooks

void UrlTextView::KeyDown(const char* bytes, int32 numBytes)
{
    if (bytes == nullptr || numBytes <= 0)
        return;
    switch (static_cast<unsigned char>(bytes[0])) {
    case B_PAGE_UP:
    case B_PAGE_DOWN:
    case B_LEFT_ARROW:
    case B_RIGHT_ARROW:
    case B_UP_ARROW:
    case B_DOWN_ARROW:
        BTextView::KeyDown(bytes, numBytes);
        return;
    default:
        break;
    }
    if (Window() == nullptr)
        return;
    BMessage missed(MSG_MISSED_CHAR);
    missed.AddString("MissedChar", std::string(bytes, static_cast<size_t>(numBytes)).c_str());
    Window()->PostMessage(&missed);
}

void UrlTextView::MessageReceived(BMessage* message)
{
    if (message->what != MSG_OPEN_LINK) {
        BTextView::MessageReceived(message);
        return;
    }
    const char* url = nullptr;
    if (message->FindString("url", &url) == B_OK && url != nullptr)
        be_roster->Launch("text/html", 1, &url);
}

// Anchors

void UrlTextView::AddAnchor(int32 start, int32 end, std::string url)
{
    fAnchors.push_back({start, end, std::move(url)});
    _LinkCovered();
}

void UrlTextView::ClearAnchors()
{
    while (!fAnchors.empty())
        fAnchors.pop_back();
    fLinked = 0;
}

void UrlTextView::InsertText(const char* text, int32 length, int32 offset,
                             const text_run_array* runs)
{
    BTextView::InsertText(text, length, offset, runs);
    _LinkCovered();
}

void UrlTextView::_LinkCovered()
{
    // Only the anchors recorded since the last insertion are looked at.
    while (fLinked < fAnchors.size()) {
        const UrlAnchor& anchor = fAnchors[fLinked];
        int32 last = anchor.end - 1; // the link is [start, end - 1)
        if (last > TextLength())
            break;
        auto* message = new BMessage(MSG_OPEN_LINK);
        message->AddString("url", anchor.url.c_str());
        AddLink(anchor.start, last, kUnderline, message);
        fLinked++;
    }
}

bool UrlTextView::AtEnd() const
{
    auto* scroll = dynamic_cast<BScrollView*>(Parent());
    BScrollBar* bar = scroll != nullptr ? scroll->ScrollBar(B_VERTICAL) : nullptr;
    if (bar == nullptr)
        return true;
    float min = 0;
    float max = 0;
    bar->GetRange(&min, &max);
    return bar->Value() >= max;
}

// Text rules

std::vector<UrlAnchor> UrlTextView::FindLinks(std::string_view line)
{
    std::vector<UrlAnchor> found;
    line = line.substr(0, line.find('\0'));
    // Every prefix has a colon or a dot a few bytes after its start, with letters only
    // before it: only the starts those marks allow are tried, nearest first, which finds the
    // same links as trying every position in turn.
    size_t cursor = 0;
    for (size_t mark = NextMark(line, 0); mark != std::string_view::npos;
         mark = NextMark(line, std::max(mark + 1, cursor))) {
        for (size_t back = kMarkOffsets.second; back >= kMarkOffsets.first; back--) {
            if (mark < back || mark - back < cursor)
                continue;
            const size_t i = mark - back;
            const std::string_view prefix = LinkPrefixAt(line, i);
            if (prefix.empty())
                continue;
            size_t j = i;
            while (j < line.size() && !EndsLink(line[j]))
                j++;
            std::string text(line.substr(i, j - i));
            std::string url = prefix == kWebPrefix ? "http://" + text : text;
            found.push_back({static_cast<int32>(i), static_cast<int32>(j + 1), std::move(url)});
            // The rest of the table cannot match at the blank or end that ended the link, so
            // the link itself is never searched again.
            cursor = j + 1;
            break;
        }
    }
    return found;
}

namespace {

// 1 for a byte the cleaning would change: a control other than a newline, DEL, or non-ASCII.
unsigned Unclean(char c)
{
    auto byte = static_cast<unsigned char>(c);
    return static_cast<unsigned>(static_cast<unsigned char>(byte - 0x20) >= 0x5f) &
           static_cast<unsigned>(byte != '\n');
}

} // namespace

bool UrlTextView::IsClean(std::string_view raw)
{
    // Asked of every line shown: blocks with no early exit inside, which compile to vector
    // compares.
    constexpr size_t kBlock = 32;
    size_t i = 0;
    for (; i + kBlock <= raw.size(); i += kBlock) {
        unsigned unclean = 0;
        for (size_t k = i; k < i + kBlock; k++)
            unclean |= Unclean(raw[k]);
        if (unclean != 0)
            return false;
    }
    for (; i < raw.size(); i++) {
        if (Unclean(raw[i]) != 0)
            return false;
    }
    return true;
}

std::string UrlTextView::CleanText(std::string_view raw, std::vector<int32>* offsets)
{
    std::string clean;
    clean.reserve(raw.size());
    if (offsets != nullptr)
        offsets->assign(raw.size() + 1, 0);
    size_t i = 0;
    while (i < raw.size()) {
        auto byte = static_cast<unsigned char>(raw[i]);
        size_t length = byte < 0x80 ? 1 : SequenceLength(raw, i);
        if (offsets != nullptr) {
            for (size_t k = i; k < i + std::max<size_t>(length, 1); k++)
                (*offsets)[k] = static_cast<int32>(clean.size());
        }
        if (byte < 0x80) {
            if (byte == '\n' || (byte >= 0x20 && byte < 0x7f))
                clean += static_cast<char>(byte);
            i++;
        } else if (length > 0) {
            // U+0080 to U+009F are control characters however they are written.
            bool control = byte == 0xc2 && static_cast<unsigned char>(raw[i + 1]) < 0xa0;
            if (!control)
                clean.append(raw.substr(i, length));
            i += length;
        } else {
            // Not UTF-8: a Latin-1 character (its controls 0x80 to 0x9F dropped).
            if (byte >= 0xa0) {
                clean += static_cast<char>(0xc0 | (byte >> 6));
                clean += static_cast<char>(0x80 | (byte & 0x3f));
            }
            i++;
        }
    }
    if (offsets != nullptr)
        offsets->back() = static_cast<int32>(clean.size());
    return clean;
}

text_run_array* UrlTextView::MapRuns(const text_run_array* runs, const std::vector<int32>& offsets)
{
    if (runs == nullptr || runs->count <= 0 || offsets.empty())
        return nullptr;
    text_run_array* mapped = AllocRunArray(runs->count);
    if (mapped == nullptr)
        return nullptr;
    const int32 rawLength = static_cast<int32>(offsets.size()) - 1;
    int32 count = 0;
    for (int32 i = 0; i < runs->count; i++) {
        text_run run = runs->runs[i];
        run.offset = offsets[static_cast<size_t>(std::clamp(run.offset, 0, rawLength))];
        // A run whose bytes were all dropped covers nothing: the next one starts there.
        if (count > 0 && mapped->runs[count - 1].offset == run.offset)
            count--;
        mapped->runs[count++] = run;
    }
    mapped->count = count;
    return mapped;
}
