#pragma once

#include <TextBuffer.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kit_private {

// The GUI thread's copy of one text view's contents: the bytes, an index of hard lines, the
// style runs and the link ranges. It is filled only from the window's change stream, so the
// GUI never reads the window's model. Offsets are byte offsets into the UTF-8 text.
//
// Cost: appending is linear in the appended bytes and runs; inserting elsewhere or deleting
// shifts everything after the change. Finding the line or the style at an offset is a binary
// search, so nothing per line grows with the size of the text.
class ScrollbackDocument
{
public:
    struct Run
    {
        int32_t offset; // where the style starts; absolute in the document
        uint32_t style; // index into the widget's style table
    };
    struct Link
    {
        int32_t start;
        int32_t end; // one past the last byte of the link
        uint32_t color;
        int32_t index; // the model's link number, posted back on a click
    };

    // Contents
    void Clear();
    // Replaces everything; runs are relative to 0 (an empty run list keeps style 0).
    void SetText(std::string_view text, const std::vector<Run>& runs);
    // Inserts text at offset (clamped to the length); runs are relative to offset. Without
    // runs the text takes the style in effect at offset. Links after offset move with it.
    void Insert(int32_t offset, const TextPiece& text, const std::vector<Run>& runs);
    // Removes the bytes [start, end) with their runs and the links that touch them.
    void Delete(int32_t start, int32_t end);
    // Gives [start, end) the runs (relative to start); the style after end is kept.
    void Restyle(int32_t start, int32_t end, const std::vector<Run>& runs);

    const TextBuffer& Text() const { return fText; }
    int32_t Length() const { return static_cast<int32_t>(fText.size()); }

    // Hard lines (split at '\n'; a trailing '\n' opens an empty last line)
    int32_t CountLines() const { return static_cast<int32_t>(fLineStarts.size()); }
    int32_t LineStart(int32_t line) const { return fLineStarts[line]; }
    // One past the line's last byte, not counting its '\n'.
    int32_t LineEnd(int32_t line) const;
    int32_t LineAt(int32_t offset) const;
    std::string_view LineText(int32_t line) const;

    // Styles
    const std::vector<Run>& Runs() const { return fRuns; }
    uint32_t StyleAt(int32_t offset) const;
    // Index of the first run that affects [start, ...): the run in effect at start.
    size_t FirstRunAt(int32_t offset) const;

    // Links
    void AddLink(const Link& link);
    void ClearLinks() { fLinks.clear(); }
    const std::vector<Link>& Links() const { return fLinks; }
    // Links that overlap [start, end), in the order they were added.
    std::vector<const Link*> LinksIn(int32_t start, int32_t end) const;

private:
    void _IndexLines(int32_t from);
    void _InsertRuns(int32_t offset, int32_t length, const std::vector<Run>& runs);
    void _Normalize();

    TextBuffer fText;
    std::vector<int32_t> fLineStarts{0};
    std::vector<Run> fRuns{{0, 0}};
    std::vector<Link> fLinks;
    // Links are almost always added in order of their start; while they are, LinksIn can
    // binary-search them.
    bool fLinksSorted = true;
    int32_t fLongestLink = 0;
};

} // namespace kit_private
