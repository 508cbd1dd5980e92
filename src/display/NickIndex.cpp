#include "NickIndex.h"

#include "IrcItem.h"
#include "ascii_case.h"
#include "irc_user.h"

#include <cstring>

namespace {

bool EqualFolded(const char* a, const char* b)
{
    for (;; a++, b++) {
        const char ca = lower_ascii(*a);
        if (ca != lower_ascii(*b))
            return false;
        if (ca == '\0')
            return true;
    }
}

const char* NickOf(const IrcItem* item)
{
    return item->IrcUser()->nick;
}

} // namespace

uint64_t NickIndex::_Hash(const char* nick)
{
    // FNV-1a over the folded bytes; _Home spreads its high bits.
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const char* c = nick; *c != '\0'; c++) {
        hash ^= static_cast<unsigned char>(lower_ascii(*c));
        hash *= 0x100000001b3ull;
    }
    return hash;
}

size_t NickIndex::_Home(uint64_t hash) const
{
    return static_cast<size_t>((hash * 0x9e3779b97f4a7c15ull) >> fShift);
}

void NickIndex::_Grow()
{
    std::vector<Slot> old;
    old.swap(fSlots);
    const size_t size = old.empty() ? 16 : old.size() * 2;
    fSlots.assign(size, Slot{});
    fShift = 64 - __builtin_ctzll(size);
    const size_t mask = size - 1;
    for (const Slot& slot : old) {
        if (slot.item == nullptr)
            continue;
        size_t at = _Home(slot.hash);
        while (fSlots[at].item != nullptr)
            at = (at + 1) & mask;
        fSlots[at] = slot;
    }
}

void NickIndex::Add(IrcItem* item)
{
    // At most 3/4 full, so a probe for a nick that is absent stays short.
    if ((fCount + 1) * 4 > fSlots.size() * 3)
        _Grow();
    const char* nick = NickOf(item);
    const uint64_t hash = _Hash(nick);
    const size_t mask = fSlots.size() - 1;
    size_t at = _Home(hash);
    while (fSlots[at].item != nullptr)
        at = (at + 1) & mask;
    fSlots[at] = {hash, item, nick};
    fCount++;
}

bool NickIndex::Remove(IrcItem* item)
{
    if (fSlots.empty())
        return false;
    const uint64_t hash = _Hash(NickOf(item));
    const size_t mask = fSlots.size() - 1;
    size_t hole = _Home(hash);
    while (fSlots[hole].item != item) {
        if (fSlots[hole].item == nullptr)
            return false;
        hole = (hole + 1) & mask;
    }
    // Close the hole: move back each later slot of the run whose home is not between the
    // hole and it, so every row stays reachable from its home without tombstones.
    for (size_t next = (hole + 1) & mask; fSlots[next].item != nullptr; next = (next + 1) & mask) {
        const size_t home = _Home(fSlots[next].hash);
        const bool reachable =
            hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!reachable) {
            fSlots[hole] = fSlots[next];
            hole = next;
        }
    }
    fSlots[hole] = Slot{};
    fCount--;
    return true;
}

void NickIndex::Clear()
{
    fSlots.clear();
    fCount = 0;
    fShift = 64;
}

IrcItem* NickIndex::Find(const char* nick) const
{
    if (fSlots.empty() || nick == nullptr)
        return nullptr;
    const uint64_t hash = _Hash(nick);
    const size_t mask = fSlots.size() - 1;
    for (size_t at = _Home(hash); fSlots[at].item != nullptr; at = (at + 1) & mask) {
        if (fSlots[at].hash == hash && strcmp(fSlots[at].nick, nick) == 0)
            return fSlots[at].item;
    }
    return nullptr;
}

template <typename Visit> void NickIndex::_EachFolded(const char* nick, Visit visit) const
{
    if (fSlots.empty() || nick == nullptr)
        return;
    const uint64_t hash = _Hash(nick);
    const size_t mask = fSlots.size() - 1;
    for (size_t at = _Home(hash); fSlots[at].item != nullptr; at = (at + 1) & mask) {
        if (fSlots[at].hash == hash && EqualFolded(fSlots[at].nick, nick) &&
            !visit(fSlots[at].item))
            return;
    }
}

void NickIndex::FindFolded(const char* nick, std::vector<IrcItem*>* rows) const
{
    _EachFolded(nick, [rows](IrcItem* item) {
        rows->push_back(item);
        return true;
    });
}

IrcItem* NickIndex::FindOnlyFolded(const char* nick, bool* several) const
{
    *several = false;
    IrcItem* found = nullptr;
    _EachFolded(nick, [&found, several](IrcItem* item) {
        *several = found != nullptr;
        found = item;
        return !*several;
    });
    return *several ? nullptr : found;
}
