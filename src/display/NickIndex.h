#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class IrcItem;

// The rows of a user list by nick. One open-addressed table keyed on the nick's hash in
// ASCII lower case serves both exact and case-blind look-ups: a look-up in a channel of
// thousands reads a slot or two and the row it finds, and adding or removing a row
// allocates nothing once the table has grown.
class NickIndex
{
public:
    // The row's nick as it stands; no row of the same nick is in the index. The index reads
    // the nick in the row's record, so it must not change until the row is removed.
    void Add(IrcItem* item);
    // Before the row's nick changes; false when the row is not in the index.
    bool Remove(IrcItem* item);
    void Clear();

    IrcItem* Find(const char* nick) const; // exact
    // The rows whose nicks equal nick in ASCII lower case, in no particular order.
    void FindFolded(const char* nick, std::vector<IrcItem*>* rows) const;
    // The only such row; nullptr when there is none or more than one.
    IrcItem* FindOnlyFolded(const char* nick, bool* several) const;

    size_t size() const { return fCount; }

private:
    struct Slot
    {
        uint64_t hash = 0;
        IrcItem* item = nullptr;    // nullptr: free
        const char* nick = nullptr; // the row's nick, read in place: one block fewer to reach
    };

    static uint64_t _Hash(const char* nick);
    size_t _Home(uint64_t hash) const;
    void _Grow();
    // Calls visit(row) for each row whose nick folds like nick, until it returns false.
    template <typename Visit> void _EachFolded(const char* nick, Visit visit) const;

    std::vector<Slot> fSlots; // a power of two long, or empty
    size_t fCount = 0;
    int fShift = 64;
};
