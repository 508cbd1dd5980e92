#pragma once

#include "ViewChange.h"

#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

namespace kit_private {

// The rows a display server keeps for a list view, in order. Rows are held in chunks of at
// most twice kChunk, so inserting or removing one row moves at most a chunk's rows and a
// count per chunk, not every row after it: a channel of thousands of users takes joins and
// parts at nearly the same cost as a small one. A chunk holds its rows by pointer, so making
// room moves pointers, not rows.
class RowList
{
public:
    static constexpr size_t kChunk = 128;

    RowList() = default;
    explicit RowList(std::vector<ListRow> rows) { Assign(std::move(rows)); }
    RowList(const RowList& other) { *this = other; }
    RowList& operator=(const RowList& other);
    RowList(RowList&&) = default;
    RowList& operator=(RowList&&) = default;

    void Assign(std::vector<ListRow> rows);
    size_t size() const { return fSize; }
    bool empty() const { return fSize == 0; }
    // index < size()
    const ListRow& operator[](size_t index) const;
    ListRow& operator[](size_t index);
    // index <= size()
    void Insert(size_t index, ListRow row);
    // index < size()
    void Erase(size_t index);

    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ListRow;
        using difference_type = std::ptrdiff_t;
        using pointer = const ListRow*;
        using reference = const ListRow&;

        const_iterator() = default;
        const_iterator(const RowList* list, size_t chunk, size_t at)
            : fList(list), fChunk(chunk), fAt(at)
        {
        }
        reference operator*() const { return *fList->fChunks[fChunk][fAt]; }
        pointer operator->() const { return &**this; }
        const_iterator& operator++();
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const
        {
            return fChunk == other.fChunk && fAt == other.fAt;
        }

    private:
        const RowList* fList = nullptr;
        size_t fChunk = 0;
        size_t fAt = 0;
    };
    const_iterator begin() const { return {this, 0, 0}; }
    const_iterator end() const { return {this, fChunks.size(), 0}; }

    // A copy as one vector, for callers that want one.
    operator std::vector<ListRow>() const { return {begin(), end()}; }

private:
    // The chunk that holds index (index < size()), and the index within it.
    size_t _Locate(size_t index, size_t* within) const;

    using Chunk = std::vector<std::unique_ptr<ListRow>>;
    std::vector<Chunk> fChunks; // none empty
    size_t fSize = 0;
};

} // namespace kit_private
