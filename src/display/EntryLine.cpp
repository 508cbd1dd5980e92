// The entry field beyond a plain text box: the arrow keys browse the lines entered before,
// Command+B and Command+I choose the emphasis of the next message, Tab completes nicks, and
// keys typed in the other views of the window continue in the field.

#include "IrcDisplayWindow.h"

#include "IrcItem.h"
#include "IrcListView.h"
#include "ascii_case.h"
#include "irc_user.h"

#include <InterfaceDefs.h>
#include <Message.h>
#include <MessageFilter.h>
#include <TextControl.h>
#include <TextView.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8 kKeyI = 'i';
constexpr uint8 kKeyB = 'b';

// Runs on the window's thread for every message to the entry's text view.
filter_result TextViewFilter(BMessage* message, BHandler**, BMessageFilter* filter)
{
    int8 byte = 0;
    if (message->what != B_KEY_DOWN || message->FindInt8("byte", &byte) != B_OK)
        return B_DISPATCH_MESSAGE;
    auto* window = dynamic_cast<IrcDisplayWindow*>(filter->Looper());
    if (window == nullptr)
        return B_DISPATCH_MESSAGE;
    const bool command = (modifiers() & B_COMMAND_KEY) != 0;
    return window->FilterEntryKey(static_cast<uint8>(byte), command) ? B_SKIP_MESSAGE
                                                                     : B_DISPATCH_MESSAGE;
}

bool StartsWithIgnoringCase(const char* text, const std::string& prefix)
{
    for (size_t i = 0; i < prefix.size(); i++) {
        if (text[i] == '\0' || lower_ascii(text[i]) != lower_ascii(prefix[i]))
            return false;
    }
    return true;
}

bool HasControlCharacter(const char* text)
{
    for (const char* c = text; *c != '\0'; c++) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7f)
            return true;
    }
    return false;
}

// The marks that place a row in one of the user list's groups.
struct Group
{
    bool op;
    bool voice;
};
constexpr Group kGroups[] = {{true, true}, {false, true}, {false, false}};

bool InGroup(const irc_user& user, const Group& group)
{
    return user.op == group.op && (group.op || user.voice == group.voice);
}

// A row that sorts with the group's rows at the place of a nick: the user list's sort key
// is read from the row, so the binary search below shares its order.
class ProbeRow
{
public:
    ProbeRow(const Group& group, const std::string& nick)
        : fUser(new irc_user), fItem("", IrcItem::kNormalColor, fUser)
    {
        fUser->op = group.op;
        fUser->voice = group.voice;
        const size_t length = std::min(nick.size(), sizeof(fUser->nick) - 1);
        memcpy(fUser->nick, nick.data(), length);
        fUser->nick[length] = '\0';
        fItem.UpdateSortKey();
    }
    BListItem* Item() { return &fItem; }

private:
    irc_user* fUser; // owned by fItem
    IrcItem fItem;
};

// The first row of list that does not sort before probe.
int32 LowerBound(IrcListView* list, BListItem* probe)
{
    int32 low = 0;
    int32 high = list->CountItems();
    while (low < high) {
        const int32 middle = low + (high - low) / 2;
        BListItem* row = list->ItemAt(middle);
        if (IrcDisplayWindow::sort_func(&row, &probe) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

} // namespace

void IrcDisplayWindow::InstallEntryFilter()
{
    if (fTextControl == nullptr)
        return;
    BTextView* view = fTextControl->TextView();
    view->AddFilter(new BMessageFilter(B_PROGRAMMED_DELIVERY, B_ANY_SOURCE, TextViewFilter));
    // The native editor never sees these: Tab would move the focus, the arrows the caret.
    view->AddFilteredKey(B_TAB);
    view->AddFilteredKey(B_UP_ARROW);
    view->AddFilteredKey(B_DOWN_ARROW);
    view->AddFilteredKey(kKeyB, B_COMMAND_KEY);
    view->AddFilteredKey(kKeyI, B_COMMAND_KEY);
}

void IrcDisplayWindow::SendEntryLine()
{
    if (fTextControl == nullptr || fTextControl->Text()[0] == '\0')
        return;
    const std::string line = fTextControl->Text();
    HandleUserEntry(line.c_str());
    if (fTextControl != nullptr)
        fTextControl->SetText("");
}

bool IrcDisplayWindow::FilterEntryKey(uint8 byte, bool command)
{
    // Enter is handled here rather than through the control's message, which would arrive
    // after the keys typed behind it and take them into this line.
    if (byte == B_ENTER) {
        SendEntryLine();
        return true;
    }
    if (byte == B_TAB) {
        HandleTab();
        return true;
    }
    if (byte == kKeyI && command) {
        MakeInverse();
        return true;
    }
    if (byte == kKeyB && command) {
        MakeBold();
        return true;
    }
    if (byte == B_UP_ARROW) {
        HandleUp();
        return true;
    }
    if (byte == B_DOWN_ARROW) {
        HandleDown();
        return true;
    }
    ResetBrowsing();
    return false;
}

void IrcDisplayWindow::ResetBrowsing()
{
    fLineEdited = true;
    fHistoryIndex = static_cast<int32>(fHistory.size());
    fCompletionStart = -1;
}

void IrcDisplayWindow::ShowEntryText(const char* text)
{
    BTextView* view = fTextControl->TextView();
    view->SetText(text);
    view->Select(view->TextLength(), view->TextLength());
}

void IrcDisplayWindow::HandleUp()
{
    if (fTextControl == nullptr)
        return;
    if (fLineEdited) {
        fLineEdited = false;
        fPendingLine = fTextControl->Text();
        fHasPendingLine = true;
    }
    fHistoryIndex--;
    if (fHistoryIndex >= 0 && fHistoryIndex < static_cast<int32>(fHistory.size()))
        ShowEntryText(fHistory[static_cast<size_t>(fHistoryIndex)].c_str());
    else
        fHistoryIndex++;
}

void IrcDisplayWindow::HandleDown()
{
    // Text typed since the last step is below every entry already; showing the saved line
    // instead would lose it.
    if (fTextControl == nullptr || fLineEdited)
        return;
    fHistoryIndex++;
    if (fHistoryIndex >= 0 && fHistoryIndex < static_cast<int32>(fHistory.size())) {
        ShowEntryText(fHistory[static_cast<size_t>(fHistoryIndex)].c_str());
        return;
    }
    fHistoryIndex = static_cast<int32>(fHistory.size());
    if (fHasPendingLine)
        ShowEntryText(fPendingLine.c_str());
}

void IrcDisplayWindow::MatchingNicks(const std::string& prefix,
                                     std::vector<std::string>* nicks) const
{
    if (fWindowType == kPrivateWindow) {
        if (StartsWithIgnoringCase(fName, prefix))
            nicks->push_back(fName);
        return;
    }
    if (fWindowType != kChannelWindow || fUsers == nullptr)
        return;
    // Each group of the list is sorted by nick ignoring case, so the nicks that begin with
    // the word stand together in it: [word, word + 0xff) holds them, as no UTF-8 nick has
    // that byte.
    std::string folded(prefix);
    for (char& c : folded)
        c = lower_ascii(c);
    std::vector<int32> rows;
    for (const Group& group : kGroups) {
        ProbeRow first(group, folded);
        ProbeRow last(group, folded + '\xff');
        const int32 end = LowerBound(fUsers, last.Item());
        for (int32 i = LowerBound(fUsers, first.Item()); i < end; i++) {
            const irc_user* user = static_cast<IrcItem*>(fUsers->ItemAt(i))->IrcUser();
            if (InGroup(*user, group) && StartsWithIgnoringCase(user->nick, prefix))
                rows.push_back(i);
        }
    }
    std::sort(rows.begin(), rows.end());
    for (int32 row : rows)
        nicks->push_back(static_cast<IrcItem*>(fUsers->ItemAt(row))->IrcUser()->nick);
}

void IrcDisplayWindow::HandleTab()
{
    if (fTextControl == nullptr)
        return;
    BTextView* view = fTextControl->TextView();
    int32 start = 0;
    int32 caret = 0;
    view->GetSelection(&start, &caret);
    if (start != caret)
        return;
    const std::string text = view->Text();

    const bool again = fCompletionStart >= 0 && caret == fCompletedCaret &&
                       text == fCompletedText && !fCompletions.empty();
    if (again) {
        fCompletionIndex = (fCompletionIndex + 1) % fCompletions.size();
    } else {
        int32 wordStart = caret;
        while (wordStart > 0 && text[static_cast<size_t>(wordStart - 1)] != ' ')
            wordStart--;
        if (wordStart == caret)
            return;
        std::vector<std::string> nicks;
        MatchingNicks(
            text.substr(static_cast<size_t>(wordStart), static_cast<size_t>(caret - wordStart)),
            &nicks);
        if (nicks.empty())
            return;
        fCompletions = std::move(nicks);
        fCompletionIndex = 0;
        fCompletionStart = wordStart;
    }

    // A nick that starts the line is said to: "nick: ".
    std::string completed = fCompletions[fCompletionIndex];
    if (fCompletionStart == 0)
        completed += ": ";
    std::string line = text.substr(0, static_cast<size_t>(fCompletionStart)) + completed +
                       text.substr(static_cast<size_t>(caret));
    const int32 end = fCompletionStart + static_cast<int32>(completed.size());
    view->SetText(line.c_str());
    view->Select(end, end);

    // An edit like any other for the history, but the completion goes on.
    const int32 completionStart = fCompletionStart;
    ResetBrowsing();
    fCompletionStart = completionStart;
    fCompletedText = view->Text();
    fCompletedCaret = end;
}

void IrcDisplayWindow::HandleMissedChar(BMessage* message)
{
    const char* bytes = nullptr;
    if (fTextControl == nullptr || message->FindString("MissedChar", &bytes) != B_OK ||
        bytes == nullptr)
        return;
    fTextControl->MakeFocus(true);
    // Enter, Escape, Home and the like only bring the focus: as text they would reach the
    // server as control characters.
    if (bytes[0] == '\0' || HasControlCharacter(bytes))
        return;
    fTextControl->TextView()->Insert(bytes);
    ResetBrowsing();
}
