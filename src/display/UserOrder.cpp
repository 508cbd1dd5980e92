#include "UserOrder.h"

#include "IrcItem.h"

#include <cstring>

namespace {

uint64_t BigEndianWord(const char* bytes)
{
    uint64_t word;
    memcpy(&word, bytes, sizeof(word));
    return __builtin_bswap64(word);
}

} // namespace

static_assert(IrcItem::kKeyPrefix == 16, "the prefix is read as two words");

UserOrder::Entry UserOrder::_EntryOf(IrcItem* item)
{
    const char* key = item->KeyPrefix();
    return {BigEndianWord(key), BigEndianWord(key + 8), item};
}

int UserOrder::_Order(const Entry& a, const Entry& b) const
{
    if (a.high != b.high)
        return a.high < b.high ? -1 : 1;
    if (a.low != b.low)
        return a.low < b.low ? -1 : 1;
    // Equal prefixes decide only when the keys end inside them (a NUL last byte).
    if ((a.low & 0xff) == 0 || a.item == b.item)
        return 0;
    const BListItem* first = a.item;
    const BListItem* second = b.item;
    return fCompare(&first, &second);
}

UserOrder::Place UserOrder::_Bound(const Entry& entry, bool upper) const
{
    auto before = [this, &entry, upper](const Entry& row) {
        const int order = _Order(row, entry);
        return upper ? order <= 0 : order < 0;
    };
    // The first chunk whose last row is not before the entry, then the place within it.
    size_t low = 0;
    size_t high = fChunks.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (before(fChunks[middle].back()))
            low = middle + 1;
        else
            high = middle;
    }
    if (low == fChunks.size())
        return {low, 0};
    const std::vector<Entry>& rows = fChunks[low];
    size_t first = 0;
    size_t last = rows.size();
    while (first < last) {
        const size_t middle = first + (last - first) / 2;
        if (before(rows[middle]))
            first = middle + 1;
        else
            last = middle;
    }
    return {low, first};
}

int32 UserOrder::_IndexAt(Place place) const
{
    size_t index = place.at;
    for (size_t chunk = 0; chunk < place.chunk; chunk++)
        index += fChunks[chunk].size();
    return static_cast<int32>(index);
}

int32 UserOrder::Insert(IrcItem* item)
{
    const Entry entry = _EntryOf(item);
    Place place = _Bound(entry, true);
    if (place.chunk == fChunks.size()) {
        // After every row: the end of the last chunk, or a first chunk.
        if (fChunks.empty())
            fChunks.emplace_back();
        place = {fChunks.size() - 1, fChunks.back().size()};
    }
    const int32 index = _IndexAt(place);
    std::vector<Entry>& rows = fChunks[place.chunk];
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(place.at), entry);
    if (rows.size() > 2 * kChunk) {
        std::vector<Entry> upper(rows.begin() + kChunk, rows.end());
        rows.resize(kChunk);
        fChunks.insert(fChunks.begin() + static_cast<std::ptrdiff_t>(place.chunk) + 1,
                       std::move(upper));
    }
    fCount++;
    return index;
}

bool UserOrder::_Find(const IrcItem* item, Place* place, int32* index) const
{
    if (item == nullptr)
        return false;
    const Entry entry = _EntryOf(const_cast<IrcItem*>(item));
    // Rows with equal keys stand together from the lower bound on.
    Place at = _Bound(entry, false);
    int32 counted = _IndexAt(at);
    for (; at.chunk < fChunks.size(); at = {at.chunk + 1, 0}) {
        const std::vector<Entry>& rows = fChunks[at.chunk];
        for (; at.at < rows.size(); at.at++, counted++) {
            if (rows[at.at].item == item) {
                *place = at;
                *index = counted;
                return true;
            }
            if (_Order(rows[at.at], entry) != 0)
                return false;
        }
    }
    return false;
}

int32 UserOrder::IndexOf(const IrcItem* item) const
{
    Place place;
    int32 index = -1;
    return _Find(item, &place, &index) ? index : -1;
}

int32 UserOrder::Remove(const IrcItem* item)
{
    Place place;
    int32 index = -1;
    if (!_Find(item, &place, &index))
        return -1;
    std::vector<Entry>& rows = fChunks[place.chunk];
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(place.at));
    if (rows.empty())
        fChunks.erase(fChunks.begin() + static_cast<std::ptrdiff_t>(place.chunk));
    fCount--;
    return index;
}
