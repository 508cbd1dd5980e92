// The channel user list: name lists, joins, removals and nick changes, kept in sort_func
// order at all times and indexed by nick, so a channel of thousands costs each event only a
// few comparisons.

#include "IrcDisplayWindow.h"

#include "IrcItem.h"
#include "IrcListView.h"
#include "IrcWindowInfo.h"
#include "ascii_case.h"
#include "irc_user.h"

#include <StringCopy.h>

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

// A nick as a record holds it: cut to the record's width.
std::string RecordNick(const char* nick)
{
    if (nick == nullptr)
        return {};
    char bounded[sizeof(irc_user::nick)];
    copy_utf8(bounded, sizeof(bounded), nick);
    return bounded;
}

// Operators sort first under "+", voiced users next under "@", then everyone else, each
// group alphabetically regardless of ASCII case.
int CompareUsers(const irc_user& a, const irc_user& b)
{
    // The sort key is the mark ("+" operator, "@" voice, none) followed by the nick; it is
    // read in place, since the list compares on every join, part and mode change.
    auto mark = [](const irc_user& user) -> char {
        return user.op ? '+' : user.voice ? '@' : '\0';
    };
    const char markA = mark(a);
    const char markB = mark(b);
    const char* nickA = a.nick;
    const char* nickB = b.nick;
    for (size_t i = 0;; i++) {
        const char rawA = markA != '\0' ? (i == 0 ? markA : nickA[i - 1]) : nickA[i];
        const char rawB = markB != '\0' ? (i == 0 ? markB : nickB[i - 1]) : nickB[i];
        int ca = static_cast<unsigned char>(lower_ascii(rawA));
        int cb = static_cast<unsigned char>(lower_ascii(rawB));
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

int CompareRows(const IrcItem* a, const IrcItem* b)
{
    // The rows' key prefixes decide unless both are full and equal.
    int order = memcmp(a->KeyPrefix(), b->KeyPrefix(), IrcItem::kKeyPrefix);
    if (order == 0 && a->KeyPrefix()[IrcItem::kKeyPrefix - 1] != '\0')
        order = CompareUsers(*a->IrcUser(), *b->IrcUser());
    assert(std::clamp(order, -1, 1) ==
           std::clamp(CompareUsers(*a->IrcUser(), *b->IrcUser()), -1, 1));
    return order;
}

} // namespace

int IrcDisplayWindow::sort_func(const void* a, const void* b)
{
    auto* first = static_cast<const IrcItem*>(*static_cast<BListItem* const*>(a));
    auto* second = static_cast<const IrcItem*>(*static_cast<BListItem* const*>(b));
    if (first == nullptr || second == nullptr)
        return (first != nullptr) - (second != nullptr);
    return CompareRows(first, second);
}

void IrcDisplayWindow::AppendUserList(const char* list)
{
    const char* next = list != nullptr ? list : "";
    while (*next != '\0') {
        while (*next == ' ')
            next++;
        const char* end = strchr(next, ' ');
        size_t length = end != nullptr ? static_cast<size_t>(end - next) : strlen(next);
        std::string name(next, length);
        next += length;

        bool op = false;
        bool voice = false;
        size_t start = 0;
        if (start < name.size() && name[start] == '@') {
            start++;
            op = voice = true;
        }
        if (start < name.size() && name[start] == '+') {
            start++;
            voice = true;
        }
        std::string nick = RecordNick(name.c_str() + start);
        if (!nick.empty() && fUsers != nullptr)
            AddListedUser(nick.c_str(), op, voice);
    }
    UpdateChannelStats();
}

bool IrcDisplayWindow::Contains(const char* nick) const
{
    if (nick == nullptr)
        return false;
    if (fWindowType != kChannelWindow)
        return strcmp(fName, nick) == 0;
    return fUsersByNick.Find(nick) != nullptr;
}

void IrcDisplayWindow::AddUser(const char* nick, const char* host)
{
    std::string name = RecordNick(nick);
    if (name.empty() || fUsers == nullptr)
        return;
    if (IrcItem* known = FindUser(name.c_str())) {
        // Joining again (a missed part): the user starts over without marks.
        known->IrcUser()->SetHost(host);
        SetUserMarks(known, false, false);
        return;
    }
    auto* user = new irc_user;
    user->SetNick(name.c_str());
    user->SetHost(host);
    auto* item = new IrcItem(user->nick, IrcItem::kNormalColor, user);
    InsertUserRow(item, false);
    IndexUser(item);
    fUserCount++;
}

bool IrcDisplayWindow::RemoveUser(const char* nick)
{
    IrcItem* item = FindUserIgnoringCase(nick);
    if (item == nullptr)
        return false;
    DeleteUser(item);
    return true;
}

void IrcDisplayWindow::RenameUser(const char* oldNick, const char* newNick)
{
    IrcItem* item = FindUser(oldNick);
    std::string name = RecordNick(newNick);
    if (item == nullptr || name.empty() || name == item->IrcUser()->nick)
        return;
    // A nick names one user: a row left over under the new nick is stale.
    if (IrcItem* stale = FindUser(name.c_str())) {
        DeleteUser(stale);
        UpdateChannelStats();
    }
    bool selected = RemoveUserRow(item);
    UnindexUser(item);
    item->IrcUser()->SetNick(name.c_str());
    item->UpdateSortKey();
    item->SetText(item->IrcUser()->nick);
    IndexUser(item);
    InsertUserRow(item, selected);
}

void IrcDisplayWindow::SortUsers()
{
    // Nothing to do: every change puts its row at its sorted place.
}

// Helpers

IrcItem* IrcDisplayWindow::FindUser(const char* nick) const
{
    return fUsersByNick.Find(RecordNick(nick).c_str());
}

IrcItem* IrcDisplayWindow::FindUserIgnoringCase(const char* nick) const
{
    const std::string name = RecordNick(nick);
    bool several = false;
    if (IrcItem* only = fUsersByNick.FindOnlyFolded(name.c_str(), &several))
        return only; // the usual case: no other nick folds the same
    if (!several)
        return nullptr;
    std::vector<IrcItem*> rows;
    fUsersByNick.FindFolded(name.c_str(), &rows);
    IrcItem* topmost = nullptr;
    int32 topIndex = 0;
    for (IrcItem* item : rows) {
        int32 index = UserIndex(item);
        if (topmost == nullptr || index < topIndex) {
            topmost = item;
            topIndex = index;
        }
    }
    return topmost;
}

int32 IrcDisplayWindow::UserIndex(const IrcItem* item) const
{
    if (fUsers == nullptr || item == nullptr)
        return -1;
    return fUserOrder.IndexOf(item);
}

void IrcDisplayWindow::InsertUserRow(IrcItem* item, bool selected)
{
    const int32 index = fUserOrder.Insert(item);
    if (selected)
        item->Select(); // the list keeps a row that arrives selected selected
    fUsers->AddItem(item, index);
}

bool IrcDisplayWindow::RemoveUserRow(IrcItem* item)
{
    bool selected = item->IsSelected();
    const int32 index = fUserOrder.Remove(item);
    assert(index < 0 || fUsers->ItemAt(index) == item);
    if (index >= 0)
        fUsers->RemoveItem(index);
    else
        fUsers->RemoveItem(item); // never placed by its key: found by looking
    return selected;
}

void IrcDisplayWindow::IndexUser(IrcItem* item)
{
    fUsersByNick.Add(item);
}

void IrcDisplayWindow::UnindexUser(IrcItem* item)
{
    fUsersByNick.Remove(item);
}

void IrcDisplayWindow::AddListedUser(const char* nick, bool op, bool voice)
{
    if (IrcItem* known = FindUser(nick)) {
        // A second name list for the same channel: the row takes the newer marks.
        SetUserMarks(known, op, voice);
        return;
    }
    auto* user = new irc_user;
    user->SetNick(nick);
    user->op = op;
    user->voice = voice;
    auto* item = new IrcItem(user->nick, IrcItem::MarkColor(op, voice), user);
    InsertUserRow(item, false);
    IndexUser(item);
    fUserCount++;
    if (op)
        fOpCount++;
}

void IrcDisplayWindow::SetUserMarks(IrcItem* item, bool op, bool voice)
{
    irc_user* user = item->IrcUser();
    if (user->op == op && user->voice == voice)
        return;
    // Out of the list while its key changes, so the row is found and placed by its key.
    bool selected = RemoveUserRow(item);
    fOpCount += static_cast<int32>(op) - static_cast<int32>(user->op);
    user->op = op;
    user->voice = voice;
    item->UpdateSortKey();
    item->SetColor(IrcItem::MarkColor(op, voice));
    InsertUserRow(item, selected);
}

void IrcDisplayWindow::DeleteUser(IrcItem* item)
{
    RemoveUserRow(item);
    UnindexUser(item);
    fUserCount--;
    if (item->IrcUser()->op)
        fOpCount--;
    delete item;
}
