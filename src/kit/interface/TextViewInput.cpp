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
    std::string flat;
    if (message != nullptr && message->Flatten(&flat) != B_OK)
        flat.clear();
    delete message;
    int32 number = fNextLink++;
    fLinks.push_back({start, end, underline, std::move(flat), number});
    _Push(change::TextLink{start, end, number, underline});
    return number;
}

void BTextView::RemoveAllLinks()
{
    _AssertLocked();
    if (fLinks.empty())
        return;
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
            if (link.number != number || link.message.empty() || Window() == nullptr)
                continue;
            BMessage copy;
            if (copy.Unflatten(link.message.data(), static_cast<ssize_t>(link.message.size())) ==
                B_OK)
                Window()->PostMessage(&copy, this);
            break;
        }
        return true;
    }
    default:
        return false;
    }
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
    if (base != fVersion || _IsDisallowed(text)) {
        // The editor had not yet seen our last change, or let through a character this view
        // refuses: it shows our text again.
        _Push(change::TextSet{fText.str(), _ExportRuns(0, TextLength()), fVersion});
        _Push(change::TextSelect{fSelectionStart, fSelectionEnd});
        return;
    }
    // The editor already shows this text; take it without sending it back.
    fText = text;
    fRuns.assign(1, {0, _Intern(fDefaultFont), fDefaultColor});
    fLinks.clear();
    int32 start = 0;
    int32 end = 0;
    message->FindInt32(kit_private::kFieldSelectionStart, &start);
    message->FindInt32(kit_private::kFieldSelectionEnd, &end);
    fSelectionStart = std::clamp(start, 0, TextLength());
    fSelectionEnd = std::clamp(end, fSelectionStart, TextLength());
}
