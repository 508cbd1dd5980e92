// BTextView: text, style runs and selection (see TextView.h). Keys, links and the display
// server's messages are in TextViewInput.cpp.

#include "TextView.h"

#include "ViewPrivate.h"

#include <StringCopy.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace change = kit_private::change;

namespace {

bool IsContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

} // namespace

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                     uint32 flags)
    : BTextView(frame, name, textRect, nullptr, nullptr, resizingMode, flags)
{
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
                     const rgb_color* initialColor, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags),
      fDefaultFont(initialFont != nullptr ? *initialFont : *be_plain_font),
      fDefaultColor(initialColor != nullptr ? *initialColor : rgb_color{0, 0, 0, 255}),
      fTextRect(textRect), fSelectionStart(0), fSelectionEnd(0), fEditable(true), fSelectable(true),
      fStylable(false), fVersion(0), fNextLink(0)
{
    fFonts.push_back(fDefaultFont);
    fRuns.push_back({0, 0, fDefaultColor});
}

BTextView::~BTextView() = default;

// Text

void BTextView::SetText(const char* text, const text_run_array* runs)
{
    SetText(text, text != nullptr ? static_cast<int32>(strlen(text)) : 0, runs);
}

void BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
    _AssertLocked();
    if (text == nullptr || length < 0)
        length = 0;
    fText.assign(text != nullptr ? text : "", static_cast<size_t>(length));
    fRuns.clear();
    fRuns.push_back({0, _Intern(fDefaultFont), fDefaultColor});
    if (length > 0)
        _SpliceRuns(0, 0, length, _ResolveRuns(runs, 0, length));
    RemoveAllLinks();
    fSelectionStart = fSelectionEnd = 0;
    fVersion++;
    _Push(change::TextSet{fText.str(), _ExportRuns(0, TextLength()), fVersion});
    _Push(change::TextSelect{0, 0});
}

void BTextView::Insert(const char* text, const text_run_array* runs)
{
    if (text != nullptr)
        Insert(fSelectionStart, text, static_cast<int32>(strlen(text)), runs);
}

void BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
    Insert(fSelectionStart, text, length, runs);
}

void BTextView::Insert(int32 offset, const char* text, int32 length, const text_run_array* runs)
{
    _AssertLocked();
    if (text == nullptr || length <= 0)
        return;
    InsertText(text, length, std::clamp(offset, 0, TextLength()), runs);
}

void BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
    if (text == nullptr || length <= 0)
        return;
    // The text is only ever as long as an int32 can count.
    if (length > INT32_MAX - TextLength())
        return;
    offset = std::clamp(offset, 0, TextLength());
    // Never split a character: insert before the sequence the offset points into.
    offset = static_cast<int32>(utf8_prefix_length(fText.data(), static_cast<size_t>(offset)));

    // Links lie within the text, so an append moves none: no walk over all of them.
    const bool appending = offset == TextLength();
    _SpliceRuns(offset, offset, length, _ResolveRuns(runs, offset, length));
    // A long text's appends reach the display server as pieces of the one copy of it.
    kit_private::TextPiece piece;
    if (appending)
        piece = fText.Append(text, static_cast<size_t>(length));
    else
        fText.insert(static_cast<size_t>(offset), text, static_cast<size_t>(length));
    if (!appending) {
        for (Link& link : fLinks) {
            if (link.start >= offset)
                link.start += length;
            if (link.end > offset)
                link.end += length;
        }
    }
    if (fSelectionStart >= offset)
        fSelectionStart += length;
    if (fSelectionEnd >= offset)
        fSelectionEnd += length;
    fVersion++;
    if (_Stream() != nullptr) {
        if (piece.Block() == nullptr)
            piece = kit_private::TextPiece(std::string_view(fText).substr(
                static_cast<size_t>(offset), static_cast<size_t>(length)));
        _Push(change::TextInsert{offset, std::move(piece), _ExportRuns(offset, offset + length),
                                 fVersion});
    }
}

void BTextView::Delete()
{
    Delete(fSelectionStart, fSelectionEnd);
}

void BTextView::Delete(int32 start, int32 end)
{
    _AssertLocked();
    start = std::clamp(start, 0, TextLength());
    end = std::clamp(end, start, TextLength());
    if (start < end)
        DeleteText(start, end);
}

void BTextView::DeleteText(int32 start, int32 end)
{
    start = std::clamp(start, 0, TextLength());
    end = std::clamp(end, start, TextLength());
    // Whole characters only.
    start = static_cast<int32>(utf8_prefix_length(fText.data(), static_cast<size_t>(start)));
    while (end < TextLength() && IsContinuation(fText[static_cast<size_t>(end)]))
        end++;
    if (start >= end)
        return;
    int32 removed = end - start;
    _SpliceRuns(start, end, 0, {});
    fText.erase(static_cast<size_t>(start), static_cast<size_t>(removed));

    std::vector<Link> kept;
    for (Link& link : fLinks) {
        if (link.start < end && link.end > start)
            continue;
        if (link.start >= end) {
            link.start -= removed;
            link.end -= removed;
        }
        kept.push_back(std::move(link));
    }
    fLinks.swap(kept);

    auto shift = [&](int32 position) {
        if (position >= end)
            return position - removed;
        return std::min(position, start);
    };
    fSelectionStart = shift(fSelectionStart);
    fSelectionEnd = shift(fSelectionEnd);
    fVersion++;
    _Push(change::TextDelete{start, end, fVersion});
}

const char* BTextView::Text() const
{
    return fText.c_str();
}

int32 BTextView::TextLength() const
{
    return static_cast<int32>(fText.size());
}

// Style runs

uint16 BTextView::_Intern(const BFont& font)
{
    for (size_t i = 0; i < fFonts.size(); i++) {
        if (fFonts[i] == font)
            return static_cast<uint16>(i);
    }
    // A view rarely sees more than a handful of fonts; past the table's size the last
    // entry is reused rather than overflowing the index.
    if (fFonts.size() >= UINT16_MAX)
        return static_cast<uint16>(fFonts.size() - 1);
    fFonts.push_back(font);
    return static_cast<uint16>(fFonts.size() - 1);
}

size_t BTextView::_RunAt(int32 offset) const
{
    // Appending asks about the end and the line just added, where the last runs are: a look
    // at those before any search.
    for (size_t i = fRuns.size(), looked = 0; i > 0 && looked < 4; i--, looked++) {
        if (offset >= fRuns[i - 1].offset)
            return i - 1;
    }
    auto it = std::upper_bound(fRuns.begin(), fRuns.end(), offset,
                               [](int32 value, const Run& run) { return value < run.offset; });
    return it == fRuns.begin() ? 0 : static_cast<size_t>(it - fRuns.begin()) - 1;
}

std::vector<BTextView::Run> BTextView::_ResolveRuns(const text_run_array* runs, int32 offset,
                                                    int32 length) const
{
    std::vector<Run> resolved;
    BTextView* self = const_cast<BTextView*>(this);
    if (!fStylable) {
        resolved.push_back({offset, self->_Intern(fDefaultFont), fDefaultColor});
        return resolved;
    }
    if (runs == nullptr || runs->count <= 0) {
        // Without runs, text continues the style it is inserted after.
        const Run& before = fRuns[_RunAt(offset > 0 ? offset - 1 : 0)];
        resolved.push_back({offset, before.font, before.color});
        return resolved;
    }
    int32 last = -1;
    resolved.reserve(static_cast<size_t>(runs->count) + 1);
    for (int32 i = 0; i < runs->count; i++) {
        const text_run& run = runs->runs[i];
        int32 at = std::max(0, run.offset);
        if (at >= length || at <= last)
            continue; // past the text, or out of order: ignored
        if (resolved.empty() && at > 0) {
            const Run& before = fRuns[_RunAt(offset > 0 ? offset - 1 : 0)];
            resolved.push_back({offset, before.font, before.color});
        }
        resolved.push_back({offset + at, self->_Intern(run.font), run.color});
        last = at;
    }
    return resolved;
}

void BTextView::_SpliceRuns(int32 start, int32 end, int32 insertedLength,
                            const std::vector<Run>& runs)
{
    // Replaces the runs of the old bytes [start, end) by runs for insertedLength new bytes;
    // the style after end continues after the new bytes.
    int32 oldLength = TextLength();
    int32 delta = insertedLength - (end - start);
    bool hasAfter = end < oldLength;
    Run after = fRuns[_RunAt(end)];
    Run first = fRuns.front();

    auto split = fRuns.end();
    while (split != fRuns.begin() && fRuns.end() - split < 4 && (split - 1)->offset >= start)
        --split;
    if (split != fRuns.begin() && (split - 1)->offset >= start)
        split = std::lower_bound(fRuns.begin(), split, start,
                                 [](const Run& run, int32 value) { return run.offset < value; });
    std::vector<Run> tail(split, fRuns.end());
    fRuns.erase(split, fRuns.end());

    auto push = [this](Run run) {
        if (!fRuns.empty() && fRuns.back().offset >= run.offset) {
            if (fRuns.back().offset > run.offset)
                return;
            fRuns.pop_back();
        }
        if (!fRuns.empty() && fRuns.back().font == run.font && fRuns.back().color == run.color)
            return;
        fRuns.push_back(run);
    };
    if (insertedLength > 0) {
        for (const Run& run : runs)
            push(run);
    }
    if (hasAfter) {
        after.offset = start + insertedLength;
        push(after);
    }
    for (Run run : tail) {
        if (run.offset > end) {
            run.offset += delta;
            push(run);
        }
    }
    if (fRuns.empty()) {
        first.offset = 0;
        fRuns.push_back(first);
    }
    fRuns.front().offset = 0;
}

std::vector<kit_private::StyleRun> BTextView::_ExportRuns(int32 start, int32 end) const
{
    // At least the run in effect at start, even for an empty span.
    std::vector<kit_private::StyleRun> exported;
    size_t first = _RunAt(start);
    size_t last = first + 1;
    while (last < fRuns.size() && fRuns[last].offset < end)
        last++;
    exported.reserve(last - first);
    for (size_t i = first; i < last; i++) {
        int32 at = std::max(fRuns[i].offset, start) - start;
        exported.push_back({at, fFonts[fRuns[i].font], fRuns[i].color});
    }
    return exported;
}

text_run_array* BTextView::RunArray(int32 start, int32 end, int32* length) const
{
    start = std::clamp(start, 0, TextLength());
    end = std::clamp(end, start, TextLength());
    std::vector<kit_private::StyleRun> runs = _ExportRuns(start, end);
    text_run_array* array = AllocRunArray(static_cast<int32>(runs.size()), length);
    if (array == nullptr)
        return nullptr;
    for (size_t i = 0; i < runs.size(); i++) {
        array->runs[i].offset = runs[i].offset;
        array->runs[i].font = runs[i].font;
        array->runs[i].color = runs[i].color;
    }
    return array;
}

void BTextView::SetRunArray(int32 start, int32 end, const text_run_array* runs)
{
    _AssertLocked();
    if (!fStylable || runs == nullptr || runs->count <= 0)
        return;
    start = std::clamp(start, 0, TextLength());
    end = std::clamp(end, start, TextLength());
    if (start == end)
        return;
    _SpliceRuns(start, end, end - start, _ResolveRuns(runs, start, end - start));
    _Push(change::TextRestyle{start, end, _ExportRuns(start, end)});
}

text_run_array* BTextView::AllocRunArray(int32 count, int32* length)
{
    if (count < 1)
        count = 1;
    if (count > (INT32_MAX - static_cast<int32>(sizeof(text_run_array))) /
                    static_cast<int32>(sizeof(text_run)))
        return nullptr;
    size_t size = sizeof(text_run_array) + sizeof(text_run) * static_cast<size_t>(count - 1);
    void* memory = calloc(1, size);
    if (memory == nullptr)
        return nullptr;
    text_run_array* array = new (memory) text_run_array;
    array->count = count;
    for (int32 i = 0; i < count; i++)
        new (&array->runs[i]) text_run{0, *be_plain_font, {0, 0, 0, 255}};
    if (length != nullptr)
        *length = static_cast<int32>(size);
    return array;
}

void BTextView::FreeRunArray(text_run_array* runs)
{
    free(runs);
}

void BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
    _AssertLocked();
    if (font != nullptr) {
        if (mode & B_FONT_FAMILY_AND_STYLE)
            fDefaultFont.SetFamilyAndStyle(font->FamilyAndStyle());
        if (mode & B_FONT_SIZE)
            fDefaultFont.SetSize(font->Size());
    }
    if (color != nullptr)
        fDefaultColor = *color;
    int32 start = fStylable ? fSelectionStart : 0;
    int32 end = fStylable ? fSelectionEnd : TextLength();
    if (start >= end)
        return;
    // A plain view is restyled whole; a stylable one in its selection.
    _SpliceRuns(start, end, end - start, {{start, _Intern(fDefaultFont), fDefaultColor}});
    _Push(change::TextRestyle{start, end, _ExportRuns(start, end)});
}

void BTextView::GetFontAndColor(BFont* font, rgb_color* color) const
{
    if (font != nullptr)
        *font = fDefaultFont;
    if (color != nullptr)
        *color = fDefaultColor;
}

// Selection and scrolling

void BTextView::Select(int32 start, int32 end)
{
    _AssertLocked();
    start = std::clamp(start, 0, TextLength());
    end = std::clamp(end, start, TextLength());
    fSelectionStart = start;
    fSelectionEnd = end;
    _Push(change::TextSelect{start, end});
}

void BTextView::GetSelection(int32* start, int32* end) const
{
    if (start != nullptr)
        *start = fSelectionStart;
    if (end != nullptr)
        *end = fSelectionEnd;
}

void BTextView::SelectAll()
{
    Select(0, TextLength());
}

void BTextView::ScrollToOffset(int32 offset)
{
    _AssertLocked();
    kit_private::ChangeStream* stream = _Stream();
    if (stream == nullptr)
        return;
    _Push(change::TextScrollTo{std::clamp(offset, 0, TextLength()), stream->UserScrolls(_Token())});
}

void BTextView::ScrollToSelection()
{
    ScrollToOffset(fSelectionEnd);
}

// Modes

void BTextView::_SendMode()
{
    _Push(change::TextMode{fEditable, fSelectable, fStylable, fTextRect, fDisallowed});
}

void BTextView::MakeEditable(bool editable)
{
    _AssertLocked();
    fEditable = editable;
    _SendMode();
}

bool BTextView::IsEditable() const
{
    return fEditable;
}

void BTextView::DisallowChar(uint32 character)
{
    _AssertLocked();
    auto at = std::lower_bound(fDisallowed.begin(), fDisallowed.end(), character);
    if (at != fDisallowed.end() && *at == character)
        return;
    fDisallowed.insert(at, character);
    _SendMode();
}

void BTextView::AllowChar(uint32 character)
{
    _AssertLocked();
    auto at = std::lower_bound(fDisallowed.begin(), fDisallowed.end(), character);
    if (at == fDisallowed.end() || *at != character)
        return;
    fDisallowed.erase(at);
    _SendMode();
}

void BTextView::MakeSelectable(bool selectable)
{
    _AssertLocked();
    fSelectable = selectable;
    _SendMode();
}

bool BTextView::IsSelectable() const
{
    return fSelectable;
}

void BTextView::SetStylable(bool stylable)
{
    _AssertLocked();
    fStylable = stylable;
    _SendMode();
}

bool BTextView::IsStylable() const
{
    return fStylable;
}

void BTextView::SetTextRect(BRect rect)
{
    _AssertLocked();
    fTextRect = rect;
    _SendMode();
}

BRect BTextView::TextRect() const
{
    return fTextRect;
}

kit_private::ViewKind BTextView::_Kind() const
{
    return kit_private::ViewKind::TextView;
}

void BTextView::_EmitState()
{
    BView::_EmitState();
    _SendMode();
    _Push(change::TextSet{fText.str(), _ExportRuns(0, TextLength()), fVersion});
    for (const Link& link : fLinks)
        _Push(change::TextLink{link.start, link.end, link.number, link.color});
    _Push(change::TextSelect{fSelectionStart, fSelectionEnd});
}
