// BTextView: keys, clicks, links, and the display server's messages (see TextView.h).

#include "TextView.h"

#include "ViewMessages.h"
#include "ViewPrivate.h"

#include <Message.h>
#include <StringCopy.h>
#include <Window.h>

#include <algorithm>
#include <cstring>

namespace change = kit_private::change;

namespace {

bool IsContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

} // namespace

void BTextView::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes <= 0)
        return;
    // A native editor has already applied the key (its result arrives as an edit).
    BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
    if (current != nullptr && current->HasBool(kit_private::kFieldNative))
        return;

    unsigned char key = static_cast<unsigned char>(bytes[0]);
    if (!fEditable) {
        using Step = change::ScrollStep;
        switch (key) {
        case B_PAGE_UP:
            _Push(change::TextScrollStep{Step::PageUp});
            return;
        case B_PAGE_DOWN:
            _Push(change::TextScrollStep{Step::PageDown});
            return;
        case B_UP_ARROW:
            _Push(change::TextScrollStep{Step::LineUp});
            return;
        case B_DOWN_ARROW:
            _Push(change::TextScrollStep{Step::LineDown});
            return;
        case B_HOME:
            _Push(change::TextScrollStep{Step::Home});
            return;
        case B_END:
            _Push(change::TextScrollStep{Step::End});
            return;
        default:
            BView::KeyDown(bytes, numBytes);
            return;
        }
    }

    int32 caret = fSelectionEnd;
    switch (key) {
    case B_BACKSPACE:
        if (fSelectionStart < fSelectionEnd) {
            Delete();
        } else if (caret > 0) {
            int32 start = caret - 1;
            while (start > 0 && IsContinuation(fText[static_cast<size_t>(start)]))
                start--;
            Delete(start, caret);
        }
        Select(fSelectionStart, fSelectionStart);
        return;
    case B_DELETE:
        if (fSelectionStart < fSelectionEnd)
            Delete();
        else if (caret < TextLength())
            Delete(caret, caret + 1);
        Select(fSelectionStart, fSelectionStart);
        return;
    case B_LEFT_ARROW: {
        int32 to = std::max(0, fSelectionStart - (fSelectionStart == fSelectionEnd ? 1 : 0));
        while (to > 0 && IsContinuation(fText[static_cast<size_t>(to)]))
            to--;
        Select(to, to);
        return;
    }
    case B_RIGHT_ARROW: {
        int32 to = std::min(TextLength(), caret + (fSelectionStart == fSelectionEnd ? 1 : 0));
        while (to < TextLength() && IsContinuation(fText[static_cast<size_t>(to)]))
            to++;
        Select(to, to);
        return;
    }
    case B_HOME:
        Select(0, 0);
        return;
    case B_END:
        Select(TextLength(), TextLength());
        return;
    case B_UP_ARROW:
    case B_DOWN_ARROW:
    case B_PAGE_UP:
    case B_PAGE_DOWN:
    case B_ESCAPE:
    case B_INSERT:
        return;
    default:
        break;
    }
    if (key < 0x20 && key != B_ENTER && key != B_TAB) {
        BView::KeyDown(bytes, numBytes);
        return;
    }
    if (fSelectionStart < fSelectionEnd)
        Delete();
    int32 at = fSelectionStart;
    Insert(at, bytes, numBytes);
    Select(at + numBytes, at + numBytes);
}

void BTextView::MouseDown(BPoint)
{
    if (fEditable || fSelectable)
        MakeFocus(true);
}

// Links

int32 BTextView::AddLink(int32 start, int32 end, rgb_color underline, BMessage* message)
{
    _AssertLocked();
    start = std::max(0, start);
    end = std::min(end, TextLength());
    if (start >= end) {
        delete message;
        return -1;
    }
    int32 number = fNextLink++;
    fLinks.push_back({start, end, underline, message, number});
    _Push(change::TextLink{start, end, number, underline});
    return number;
}

void BTextView::RemoveAllLinks()
{
    _AssertLocked();
    if (fLinks.empty())
        return;
    for (Link& link : fLinks)
        delete link.message;
    fLinks.clear();
    _Push(change::TextLinksClear{});
}

int32 BTextView::CountLinks() const
{
    return static_cast<int32>(fLinks.size());
}

bool BTextView::GetLink(int32 index, int32* start, int32* end) const
{
    for (const Link& link : fLinks) {
        if (link.number != index)
            continue;
        if (start != nullptr)
            *start = link.start;
        if (end != nullptr)
            *end = link.end;
        return true;
    }
    return false;
}

// The display server's messages

bool BTextView::_ServerMessage(BMessage* message)
{
    switch (message->what) {
    case kit_private::kMsgTextEdited:
        _SetTextFromEditor(message);
        return true;
    case kit_private::kMsgLinkClicked: {
        int32 number;
        if (message->FindInt32(kit_private::kFieldLink, &number) != B_OK)
            return true;
        for (const Link& link : fLinks) {
            if (link.number == number && link.message != nullptr && Window() != nullptr) {
                Window()->PostMessage(link.message, this);
                break;
            }
        }
        return true;
    }
    default:
        return false;
    }
}

void BTextView::_RememberVersion()
{
    // Only small editable texts are edited ahead of the view; the scrollback never is.
    // A burst of typing can be many of our changes behind; versions the editor has moved
    // past are dropped as its edits arrive.
    constexpr size_t kVersions = 256;
    constexpr size_t kLongest = 4096;
    if (!fEditable || fText.size() > kLongest) {
        fEditorBases.clear();
        return;
    }
    if (fEditorBases.size() == kVersions)
        fEditorBases.erase(fEditorBases.begin());
    fEditorBases.emplace_back(fVersion, fText);
}

namespace {

// The one replaced range that turns from into to: [start, end) of from became the middle of
// to, the common start and end around it kept.
struct Replacement
{
    size_t start;
    size_t end;
    std::string_view with;
};

bool Continues(std::string_view text, size_t at)
{
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

Replacement Difference(std::string_view from, std::string_view to)
{
    size_t start = 0;
    while (start < from.size() && start < to.size() && from[start] == to[start])
        start++;
    // Cuts stay off the middle of a character.
    while (start > 0 && (Continues(from, start) || Continues(to, start)))
        start--;
    size_t tail = 0;
    while (tail < from.size() - start && tail < to.size() - start &&
           from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
        tail++;
    while (tail > 0 && Continues(from, from.size() - tail))
        tail--;
    return {start, from.size() - tail, to.substr(start, to.size() - tail - start)};
}

} // namespace

bool BTextView::_RebaseEditorText(int64 base, const std::string& text)
{
    auto known = std::find_if(fEditorBases.begin(), fEditorBases.end(),
                              [base](const auto& entry) { return entry.first == base; });
    if (known == fEditorBases.end())
        return false;
    // Ours and the editor's change of the same text carry over onto each other when they
    // touch different parts of it, as keys typed after Enter do onto the cleared field.
    const Replacement ours = Difference(known->second, fText);
    const Replacement theirs = Difference(known->second, text);
    size_t at;
    // At one and the same place, ours came first.
    if (theirs.start >= ours.end)
        at = theirs.start - (ours.end - ours.start) + ours.with.size();
    else if (theirs.end <= ours.start)
        at = theirs.start;
    else
        return false;
    const size_t removed = theirs.end - theirs.start;
    std::string merged =
        fText.substr(0, at) + std::string(theirs.with) + fText.substr(at + removed);
    // The editor's later edits still start from what it has now.
    known->second = text;
    const int32 caret = static_cast<int32>(at + theirs.with.size());
    fText = std::move(merged);
    fRuns.assign(1, {0, _Intern(fDefaultFont), fDefaultColor});
    for (Link& link : fLinks)
        delete link.message;
    fLinks.clear();
    fSelectionStart = fSelectionEnd = std::min(caret, TextLength());
    fVersion++;
    _RememberVersion();
    _Push(change::TextSet{fText, _ExportRuns(0, TextLength()), fVersion});
    _Push(change::TextSelect{fSelectionStart, fSelectionEnd});
    return true;
}

bool BTextView::_IsDisallowed(const std::string& text) const
{
    if (fDisallowed.empty())
        return false;
    for (size_t at = 0; at < text.size();) {
        uint32 character = 0;
        at += decode_utf8(text.data() + at, text.size() - at, &character);
        if (std::binary_search(fDisallowed.begin(), fDisallowed.end(), character))
            return true;
    }
    return false;
}

void BTextView::_SetTextFromEditor(BMessage* message)
{
    int64 base = -1;
    const char* text = nullptr;
    if (message->FindInt64(kit_private::kFieldBase, &base) != B_OK ||
        message->FindString(kit_private::kFieldText, &text) != B_OK)
        return;
    // The editor only moves on to newer versions.
    std::erase_if(fEditorBases, [base](const auto& entry) { return entry.first < base; });
    if (_IsDisallowed(text) || (base != fVersion && !_RebaseEditorText(base, text))) {
        // The editor let through a character this view refuses, or changed what we changed
        // before it saw our change: it shows our text again.
        _Push(change::TextSet{fText, _ExportRuns(0, TextLength()), fVersion});
        _Push(change::TextSelect{fSelectionStart, fSelectionEnd});
        return;
    }
    if (base != fVersion)
        return;
    // The editor already shows this text; take it without sending it back.
    for (auto& [version, known] : fEditorBases) {
        if (version == fVersion)
            known = text;
    }
    fText = text;
    fRuns.assign(1, {0, _Intern(fDefaultFont), fDefaultColor});
    for (Link& link : fLinks)
        delete link.message;
    fLinks.clear();
    int32 start = 0;
    int32 end = 0;
    message->FindInt32(kit_private::kFieldSelectionStart, &start);
    message->FindInt32(kit_private::kFieldSelectionEnd, &end);
    fSelectionStart = std::clamp(start, 0, TextLength());
    fSelectionEnd = std::clamp(end, fSelectionStart, TextLength());
}
