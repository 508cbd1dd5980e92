#pragma once

#include <SupportDefs.h>

#include <cstdint>
#include <vector>

class IrcItem;

// The order of a channel's user list, kept beside the list as the rows' sort-key prefixes in
// chunks. Placing or finding a row reads a few contiguous blocks where a binary search of
// the list itself would reach one scattered row per step, and an insert or a removal moves
// at most a chunk. Rows with equal keys keep the order they came in, as the list does.
class UserOrder
{
public:
    // The list's own comparison, over pointers to two rows (BListItem* const*); asked only
    // for rows whose key prefixes are equal and full.
    using Compare = int (*)(const void* a, const void* b);
    explicit UserOrder(Compare compare) : fCompare(compare) {}

    // Places the row after every row that sorts before it or equal to it; its index.
    int32 Insert(IrcItem* item);
    // The row's index, or -1. Its key must be what it was when it was placed.
    int32 IndexOf(const IrcItem* item) const;
    // Takes the row out; its index, or -1 when it was not placed.
    int32 Remove(const IrcItem* item);
    int32 Count() const { return fCount; }

    static constexpr size_t kChunk = 64; // a chunk holds up to twice this

private:
    struct Entry
    {
        uint64_t high; // the key prefix as two big-endian words, so integers order it
        uint64_t low;
        IrcItem* item;
    };
    struct Place
    {
        size_t chunk;
        size_t at;
    };

    static Entry _EntryOf(IrcItem* item);
    int _Order(const Entry& a, const Entry& b) const;
    // The first place whose entry is not before (lower) or is after (upper) the entry.
    Place _Bound(const Entry& entry, bool upper) const;
    int32 _IndexAt(Place place) const;
    // Where the row stands and its index; false when it was not placed.
    bool _Find(const IrcItem* item, Place* place, int32* index) const;

    Compare fCompare;
    std::vector<std::vector<Entry>> fChunks; // none empty
    int32 fCount = 0;
};
